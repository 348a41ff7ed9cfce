// Document texts with bytes above 127 on their way to the screen and back: the row
// canvas, the folder tree's labels and renames, the dialogs, and the saved file.
#include "app/skedradoc.h"
#include "gui/gui_support.h"
#include "model/vcollection.h"
#include "model/vcontact.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "wx/folder_tree_window.h"
#include "wx/main_frame.h"
#include "wx/text_convert.h"
#include "wx/wx_canvas.h"

#include <gtest/gtest.h>
#include <wx/choice.h>
#include <wx/dcmemory.h>
#include <wx/docview.h>
#include <wx/textctrl.h>

namespace {

// The pixels of a text drawn black on white, by the canvas or by wx itself.
wxImage Drawn(const std::function<void(wxDC&)>& draw) {
    wxBitmap bitmap(200, 30);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetFont(*wxNORMAL_FONT);
    dc.SetTextForeground(*wxBLACK);
    draw(dc);
    dc.SelectObject(wxNullBitmap);
    return bitmap.ConvertToImage();
}

TEST(TextCrossingTest, TheCanvasDrawsDocumentBytesAsTheirCharacters) {
    const std::string bytes = "Caf\xE9 \x80 5 \x93quoted\x94";
    wxImage byCanvas = Drawn([&](wxDC& dc) { WxCanvas(dc).Text(2, 2, bytes); });
    wxImage expected =
        Drawn([](wxDC& dc) { dc.DrawText(L"Caf\u00E9 \u20AC 5 \u201Cquoted\u201D", 2, 2); });
    wxImage latin1 =
        Drawn([&](wxDC& dc) { dc.DrawText(wxString::From8BitData(bytes.c_str()), 2, 2); });
    EXPECT_TRUE(SamePixels(byCanvas, expected));
    EXPECT_FALSE(SamePixels(latin1, expected)) << "the test tells the two code pages apart";
}

TEST(TextCrossingTest, MessagesShowPathsAndDocumentTexts) {
    EXPECT_EQ(MessageToWx("Can't open file (/home/z\xC3\xBC/a.vnt)."),
              L"Can't open file (/home/z\u00FC/a.vnt).");
    EXPECT_EQ(MessageToWx("Can't open url (http://caf\xE9.example)"),
              L"Can't open url (http://caf\u00E9.example)");
    EXPECT_EQ(MessageToWx(""), L"");
}

TEST(TextCrossingTest, TheFilterBoxAndTheContactListSpeakWindows1252) {
    Frame().GetDocumentManager()->CreateNewDocument();
    Settle();
    ScriptedUI ui;
    wxTextCtrl& box = *Frame().FilterTextEdit();
    auto enter = [&](const wchar_t* typed) {
        box.ChangeValue(typed);
        wxCommandEvent event(wxEVT_TEXT_ENTER, box.GetId());
        event.SetEventObject(&box);
        box.GetEventHandler()->ProcessEvent(event);
        Settle();
    };
    enter(L"caf\u00E9 \u20AC");
    EXPECT_EQ(std::string(Doc().collection->filterText.Text()), "CAF\xE9 \x80");
    EXPECT_TRUE(ui.asked.empty());
    enter(L"\u0141\u00F3d\u017A");
    EXPECT_EQ(std::string(Doc().collection->filterText.Text()), "?\xF3"
                                                                "D?");
    EXPECT_EQ(ui.asked.size(), 1u) << "told once for the two lost characters";

    VCollection& c = *Doc().collection;
    auto* contact = new VContact(&c);
    contact->firstName = "Ren\xE9";
    contact->lastName = "M\xFC"
                        "ller";
    c.Add(contact, c.root);
    Doc().ItemsChanged();
    Settle();
    EXPECT_NE(Frame().ContactFilterBox()->FindString(L"Ren\u00E9 M\u00FCller"), wxNOT_FOUND);
    enter(L"");
    if (wxDocument* doc = Frame().GetDocumentManager()->GetCurrentDocument()) doc->Modify(false);
}

// The tree item that shows the folder, or an invalid id.
wxTreeItemId ItemOf(wxTreeCtrl& tree, wxTreeItemId item, const wxString& label) {
    if (!item.IsOk()) return item;
    if (tree.GetItemText(item) == label) return item;
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = tree.GetFirstChild(item, cookie); child.IsOk();
         child = tree.GetNextChild(item, cookie))
        if (wxTreeItemId found = ItemOf(tree, child, label); found.IsOk()) return found;
    return {};
}

TEST(TextCrossingTest, AFolderNameWithHighBytesComesBackByteForByte) {
    Frame().GetDocumentManager()->CreateNewDocument();
    Settle();
    ScriptedUI ui;
    VCollection& c = *Doc().collection;
    auto* folder = new VGroup(&c);
    folder->name = "Caf\xE9 \x80 \xC0";
    c.Add(folder, c.root);
    Frame().DocumentChanged();
    Settle();

    // The label shows the characters the bytes stand for.
    wxTreeCtrl& tree = *Frame().LeftView();
    wxTreeItemId item = ItemOf(tree, tree.GetRootItem(), L"Caf\u00E9 \u20AC \u00C0");
    ASSERT_TRUE(item.IsOk()) << "no label reads Caf\u00E9 \u20AC \u00C0";

    // A rename in place stores them as bytes again; a character no byte stands for becomes
    // "?" and the user hears of it once.
    tree.SelectItem(item);
    wxTextCtrl* edit = tree.EditLabel(item);
    ASSERT_NE(edit, nullptr);
    edit->SetValue(L"Cr\u00E8me br\u00FBl\u00E9e \u0142\u0142 \u2122");
    tree.EndEditLabel(item);
    Settle();
    EXPECT_STREQ(folder->name.Text(), "Cr\xE8"
                                      "me br\xFB"
                                      "l\xE9"
                                      "e ?? \x99");
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_NE(ui.asked[0].text.find("\"?\""), std::string::npos) << ui.asked[0].text;

    // The folder dialog shows the name and keeps it through OK.
    bool edited = false;
    EXPECT_TRUE(WhileDialogShows(
        "Folder properties", [&] { edited = folder->Edit(); },
        [&](wxDialog& dialog) {
            auto* name = dynamic_cast<wxTextCtrl*>(wxWindow::FindFocus());
            ASSERT_NE(name, nullptr);
            EXPECT_EQ(name->GetValue(), L"Cr\u00E8me br\u00FBl\u00E9e ?? \u2122");
            name->AppendText(L" \u00FF");
            EXPECT_TRUE(PressUntilClosed(dialog, "Return"));
        }));
    EXPECT_TRUE(edited);
    const std::string expected = "Cr\xE8"
                                 "me br\xFB"
                                 "l\xE9"
                                 "e ?? \x99 \xFF";
    EXPECT_EQ(std::string(folder->name.Text()), expected);

    // Saved and read back, byte for byte.
    TempDir dir;
    std::string path = dir.File("names.vnt");
    ASSERT_TRUE(c.Save(path.c_str()));
    EXPECT_NE(FileBytes(path).find(expected), std::string::npos);
    VCollection loaded;
    loaded.Load(path.c_str());
    const VNode* back = nullptr;
    for (VNode* n = loaded.root; n; n = n->next)
        if (n->id == folder->id) back = n;
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(std::string(back->name.Text()), expected);
    Frame().DocumentChanged();
    Settle();
    EXPECT_TRUE(ItemOf(tree, tree.GetRootItem(), ToWx(expected)).IsOk());
    if (wxDocument* doc = Frame().GetDocumentManager()->GetCurrentDocument()) doc->Modify(false);
}

} // namespace
