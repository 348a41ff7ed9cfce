// Document texts with bytes above 127 on their way to the screen and back: the row
// canvas, the folder tree's labels and renames, the dialogs, and the saved file, in
// Windows-1252 and in UTF-8 documents.
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

TEST(TextCrossingTest, TheFilterIsUtf8AndTheContactListShowsDocumentTexts) {
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
    // A search, not a document text: upper case by characters, and a character the
    // document cannot hold leaves the document as it is.
    enter(L"caf\u00E9 \u20AC");
    EXPECT_EQ(std::string(Doc().Collection()->filterText.Text()), "CAF\xC3\x89 \xE2\x82\xAC");
    enter(L"\u0141\u00F3d\u017A");
    EXPECT_EQ(std::string(Doc().Collection()->filterText.Text()), "\xC5\x81\xC3\x93"
                                                                  "D\xC5\xB9");
    EXPECT_EQ(Doc().Collection()->textEncoding, TextEncoding::Windows1252);
    EXPECT_TRUE(ui.asked.empty());

    VCollection& c = *Doc().Collection();
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
    VCollection& c = *Doc().Collection();
    auto* folder = new VGroup(&c);
    folder->name = "Caf\xE9 \x80 \xC0";
    c.Add(folder, c.root);
    Frame().DocumentChanged();
    Settle();

    // The label shows the characters the bytes stand for.
    wxTreeCtrl& tree = *Frame().LeftView();
    wxTreeItemId item = ItemOf(tree, tree.GetRootItem(), L"Caf\u00E9 \u20AC \u00C0");
    ASSERT_TRUE(item.IsOk()) << "no label reads Caf\u00E9 \u20AC \u00C0";

    // A rename in place stores them as bytes again; a character Windows-1252 cannot hold
    // changes the document to UTF-8, the folder's old name and all.
    tree.SelectItem(item);
    wxTextCtrl* edit = tree.EditLabel(item);
    ASSERT_NE(edit, nullptr);
    edit->SetValue(L"Cr\u00E8me br\u00FBl\u00E9e \u0142\u0142 \u2122");
    tree.EndEditLabel(item);
    Settle();
    EXPECT_EQ(c.textEncoding, TextEncoding::Utf8);
    EXPECT_STREQ(folder->name.Text(), "Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
                                      "e \xC5\x82\xC5\x82 \xE2\x84\xA2");
    EXPECT_TRUE(ui.asked.empty()) << "nothing lost, nothing to tell";

    // The folder dialog shows the name and keeps it through OK; a character no font
    // draws (private use) is stored all the same.
    bool edited = false;
    EXPECT_TRUE(WhileDialogShows(
        "Folder properties", [&] { edited = folder->Edit(); },
        [&](wxDialog& dialog) {
            auto* name = dynamic_cast<wxTextCtrl*>(wxWindow::FindFocus());
            ASSERT_NE(name, nullptr);
            EXPECT_EQ(name->GetValue(), L"Cr\u00E8me br\u00FBl\u00E9e \u0142\u0142 \u2122");
            name->AppendText(wxString(L" \u00FF ") + wxUniChar(0x10FFFD));
            EXPECT_TRUE(PressUntilClosed(dialog, "Return"));
        }));
    EXPECT_TRUE(edited);
    const std::string expected = "Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
                                 "e \xC5\x82\xC5\x82 \xE2\x84\xA2 \xC3\xBF \xF4\x8F\xBF\xBD";
    EXPECT_EQ(std::string(folder->name.Text()), expected);

    // Saved and read back, byte for byte.
    TempDir dir;
    std::string path = dir.File("names.vnt");
    ASSERT_TRUE(c.Save(path.c_str()));
    EXPECT_NE(FileBytes(path).find(expected), std::string::npos);
    EXPECT_EQ(FileBytes(path).substr(8, 4), "TENC");
    VCollection loaded;
    loaded.Load(path.c_str());
    EXPECT_EQ(loaded.textEncoding, TextEncoding::Utf8);
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

// Bytes that are no UTF-8 in a UTF-8 document show as U+FFFD and stay as they are
// through a dialog's OK.
TEST(TextCrossingTest, BrokenUtf8ShowsAsReplacementCharactersAndIsKept) {
    Frame().GetDocumentManager()->CreateNewDocument();
    Settle();
    ScriptedUI ui;
    VCollection& c = *Doc().Collection();
    c.textEncoding = TextEncoding::Utf8;
    auto* folder = new VGroup(&c);
    const std::string broken = "Caf\xE9 \xE6\x97\xA5"; // a Windows-1252 byte among UTF-8
    folder->name = broken.c_str();
    c.Add(folder, c.root);
    Frame().DocumentChanged();
    Settle();

    wxTreeCtrl& tree = *Frame().LeftView();
    EXPECT_TRUE(ItemOf(tree, tree.GetRootItem(), L"Caf\uFFFD \u65E5").IsOk());
    wxImage byCanvas = Drawn([&](wxDC& dc) { WxCanvas(dc).Text(2, 2, broken); });
    wxImage expected = Drawn([](wxDC& dc) { dc.DrawText(L"Caf\uFFFD \u65E5", 2, 2); });
    EXPECT_TRUE(SamePixels(byCanvas, expected));

    bool edited = false;
    EXPECT_TRUE(WhileDialogShows(
        "Folder properties", [&] { edited = folder->Edit(); },
        [&](wxDialog& dialog) { EXPECT_TRUE(PressUntilClosed(dialog, "Return")); }));
    EXPECT_TRUE(edited);
    EXPECT_EQ(std::string(folder->name.Text()), broken);
    if (wxDocument* doc = Frame().GetDocumentManager()->GetCurrentDocument()) doc->Modify(false);
}

} // namespace
