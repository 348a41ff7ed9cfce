// The item dialogs and Preferences on the real program: each opens with its title, its
// first field focused and OK as the default button, fits its controls, and leaves a
// picture; Escape cancels; one edit is made with the keyboard alone.
#include "app/skedraDoc.h"
#include "gui/gui_support.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vreference.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "platform/command_ids.h"
#include "platform/editor.h"
#include "support/model_builders.h"
#include "support/recording_canvas.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "views/skedraView.h"
#include "wx/dialogs/node_editor.h"
#include "wx/main_frame.h"
#include "wx/wx_ids.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/docview.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

namespace {

// Whether every control of the window lies wholly inside its parent's client area.
void ExpectNothingClipped(wxWindow& window, const std::string& where) {
    wxSize client = window.GetClientSize();
    for (wxWindow* child : window.GetChildren()) {
        if (!child->IsShown() || child->IsTopLevel()) continue;
        wxRect r = child->GetRect();
        EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.GetRight() < client.x && r.GetBottom() < client.y)
            << where << ": " << child->GetClassInfo()->GetClassName() << " at " << r.x << "," << r.y
            << " " << r.width << "x" << r.height << " in " << client.x << "x" << client.y;
        EXPECT_GE(r.width, child->GetBestSize().x * 9 / 10) << where;
        ExpectNothingClipped(*child, where);
    }
}

class DialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Settle();
        Frame().GetDocumentManager()->CreateNewDocument();
        Settle();
    }
    void TearDown() override {
        if (wxDocument* doc = Frame().GetDocumentManager()->GetCurrentDocument())
            doc->Modify(false);
    }
    VCollection& Collection() { return *Doc().Collection(); }
};

struct DialogCase {
    const char* title;
    const char* picture;
    VNode* (*make)(VCollection&);
};

const DialogCase DIALOGS[] = {
    {"To Do", "dialog-todo.png", [](VCollection& c) -> VNode* { return AddNode<VTodo>(c); }},
    {"Action", "dialog-action.png",
     [](VCollection& c) -> VNode* {
         auto* anna = AddNode<VContact>(c);
         anna->firstName = "Anna";
         anna->lastName = "Zee";
         auto* task = AddNode<VTask>(c);
         task->what = "Quarterly report";
         task->startDate = "2026-12-07";
         task->duration = 5;
         task->completion = 40;
         task->assignees[0] = anna;
         return task;
     }},
    {"Enter agreement", "dialog-agreement.png",
     [](VCollection& c) -> VNode* { return AddNode<VAgreement>(c); }},
    {"To Call", "dialog-call.png", [](VCollection& c) -> VNode* { return AddNode<VCall>(c); }},
    {"To Mail", "dialog-mail.png", [](VCollection& c) -> VNode* { return AddNode<VMail>(c); }},
    {"To Pay", "dialog-pay.png", [](VCollection& c) -> VNode* { return AddNode<VPay>(c); }},
    {"Enter contact information", "dialog-contact.png",
     [](VCollection& c) -> VNode* { return AddNode<VContact>(c); }},
    {"Fact", "dialog-fact.png", [](VCollection& c) -> VNode* { return AddNode<VFact>(c); }},
    {"Location (file/directory/web)", "dialog-location.png",
     [](VCollection& c) -> VNode* { return AddNode<VURL>(c); }},
    {"Folder properties", "dialog-folder.png",
     [](VCollection& c) -> VNode* { return AddNode<VGroup>(c); }},
};

// The first control in tab order that can take the focus.
wxWindow* FirstField(wxWindow& window) {
    for (wxWindow* child : window.GetChildren()) {
        if (child->IsTopLevel() || !child->IsShown()) continue;
        if (child->CanAcceptFocus() && !dynamic_cast<wxStaticBox*>(child)) return child;
        if (wxWindow* inner = FirstField(*child)) return inner;
    }
    return nullptr;
}

// The dialog as the user finds it: focus, default button, room for every control, and
// its picture; then Escape closes it.
void LookAtAndEscape(wxDialog& dialog, const std::string& picture) {
    wxWindow* first = FirstField(dialog);
    ASSERT_NE(first, nullptr) << picture;
    EXPECT_TRUE(first->HasFocus() || wxWindow::FindFocus() == first)
        << picture << ": " << first->GetClassInfo()->GetClassName() << " focus "
        << (wxWindow::FindFocus() ? wxWindow::FindFocus()->GetClassInfo()->GetClassName()
                                  : L"none");
    auto* ok = dynamic_cast<wxButton*>(dialog.GetDefaultItem());
    ASSERT_NE(ok, nullptr) << picture;
    EXPECT_EQ(ok->GetId(), wxID_OK);
    ExpectNothingClipped(dialog, picture);
    EXPECT_TRUE(SaveWindowPicture(dialog, picture));
    EXPECT_TRUE(PressUntilClosed(dialog, "Escape")) << picture;
}

TEST_F(DialogsTest, EveryDialogOpensFocusedAndEscapeCancelsIt) {
    ASSERT_NE(dynamic_cast<WxNodeEditor*>(CurrentNodeEditor()), nullptr) << "registered at start";
    ScriptedUI ui;
    for (const DialogCase& c : DIALOGS) {
        SCOPED_TRACE(c.title);
        VNode* node = c.make(Collection());
        node->id = 4;
        node->parentId = 1;
        std::string before = RecordBytes(*node);
        bool edited = true;
        EXPECT_TRUE(WhileDialogShows(
            c.title, [&] { edited = node->Edit(); },
            [&](wxDialog& dialog) { LookAtAndEscape(dialog, c.picture); }));
        EXPECT_FALSE(edited);
        EXPECT_EQ(RecordBytes(*node), before);
    }
    Doc().Collection()->dateFormat = 1;
    EXPECT_TRUE(WhileDialogShows(
        "Preferences", [&] { SendCommand(CMD_PREFERENCES); },
        [&](wxDialog& dialog) { LookAtAndEscape(dialog, "dialog-preferences.png"); }));
    EXPECT_EQ(Doc().Collection()->dateFormat, 1);
    EXPECT_TRUE(WhileDialogShows(
        "Sync Account", [&] { SendCommand(CMD_SYNC_ACCOUNT); },
        [&](wxDialog& dialog) { LookAtAndEscape(dialog, "dialog-sync-account.png"); }));
    EXPECT_TRUE(ui.asked.empty());
}

// The controls of one class inside the window, in tab order.
template <class Control> std::vector<Control*> ControlsOf(wxWindow& window) {
    std::vector<Control*> found;
    for (wxWindow* child : window.GetChildren()) {
        if (auto* control = dynamic_cast<Control*>(child)) found.push_back(control);
        std::vector<Control*> inner = ControlsOf<Control>(*child);
        found.insert(found.end(), inner.begin(), inner.end());
    }
    return found;
}

TEST_F(DialogsTest, AnActionsEndFollowsItsDurationAndAnEarlierEndIsRefused) {
    ScriptedUI ui;
    int format = Collection().dateFormat;
    Collection().dateFormat = 1;
    auto* task = AddNode<VTask>(Collection());
    task->what = "Paint the shed";
    task->startDate = "2026-12-07";
    bool edited = false;
    EXPECT_TRUE(WhileDialogShows(
        "Action", [&] { edited = task->Edit(); },
        [&](wxDialog& dialog) {
            std::vector<wxTextCtrl*> texts = ControlsOf<wxTextCtrl>(dialog);
            ASSERT_EQ(texts.size(), 10u) << "text, hours, start, end, duration, the times of "
                                            "day, the repeat's end and the reminder's";
            wxTextCtrl* end = texts[3];
            wxTextCtrl* duration = texts[4];
            EXPECT_EQ(texts[2]->GetValue(), "07-12-2026") << "the document's date format";
            EXPECT_EQ(end->GetValue(), "07-12-2026");

            // Typing a duration and leaving the field moves the end.
            ASSERT_TRUE(GiveFocus(duration));
            duration->SelectAll();
            ASSERT_TRUE(UserDoes("xdotool type 5\nxdotool key Tab\n"));
            EXPECT_TRUE(SettleUntil([&] { return end->GetValue() == "11-12-2026"; }))
                << end->GetValue();

            // An end typed before the start is refused when the field is left.
            ASSERT_TRUE(GiveFocus(end));
            end->SelectAll();
            ASSERT_TRUE(UserDoes("xdotool type 01-12-2026\n"));
            EXPECT_TRUE(ui.asked.empty()) << "nothing is said while typing";
            ASSERT_TRUE(UserDoes("xdotool key Tab\n"));
            EXPECT_TRUE(SettleUntil([&] { return !ui.asked.empty(); }));
            ASSERT_EQ(ui.asked.size(), 1u);
            EXPECT_EQ(ui.asked[0].text, "End date must be later than the start date.");
            EXPECT_EQ(end->GetValue(), "07-12-2026");
            EXPECT_EQ(duration->GetValue(), "1");
            EXPECT_TRUE(PressUntilClosed(dialog, "Return"));
        }));
    EXPECT_TRUE(edited);
    EXPECT_EQ(task->duration, 1);
    EXPECT_STREQ(task->startDate.Text(), "2026-12-07");
    EXPECT_FALSE(task->flags & NO_DATE) << "giving a duration dates the action";
    Collection().dateFormat = format;
}

TEST_F(DialogsTest, AToDoEditedWithTheKeyboardAlone) {
    ScriptedUI ui;
    TempDir dir;
    auto* todo = AddNode<VTodo>(Collection());
    todo->what = "Buy milk";
    Doc().ItemsChanged();
    Settle();

    // As a user would: wait for the dialog by its title, replace the text, press Enter.
    User keyboard("window_shows '^To Do$'\n"
                  "xdotool key ctrl+a\n"
                  "xdotool type --delay 20 'Oat milk & bread'\n"
                  "xdotool key Return\n");
    bool edited = todo->Edit();
    EXPECT_TRUE(keyboard.Done()) << "xdotool found the dialog and typed";
    EXPECT_TRUE(edited);
    EXPECT_STREQ(todo->what.Text(), "Oat milk & bread");
    EXPECT_TRUE(ui.asked.empty());

    // The row shows the new text (the edit command ends with this refresh).
    Doc().ItemEdited(todo);
    Settle();
    RecordingCanvas canvas;
    Frame().ItemView().OnDraw(canvas, {0, 0, 1000, 800});
    bool shown = false;
    std::string texts;
    for (const CanvasCall& call : canvas.calls) {
        shown |= call.text == "Oat milk & bread";
        if (call.kind == CanvasCall::Text || call.kind == CanvasCall::TextEllipsis)
            texts += "[" + call.text + "]";
    }
    EXPECT_TRUE(shown) << "the row paints the edited text; painted: " << texts;
    EXPECT_TRUE(SaveWindowPicture(Frame(), "keyboard-edit.png"));

    // Ctrl+S on the main window saves the named document.
    std::string path = dir.File("keyboard.vnt");
    wxDocument* document = Frame().GetDocumentManager()->GetCurrentDocument();
    document->SetFilename(path, true);
    document->SetDocumentSaved(true);
    Frame().Raise();
    EXPECT_TRUE(UserDoes("window_shows '^Vantry'\nxdotool key ctrl+s\n")) << Frame().GetTitle();
    EXPECT_TRUE(SettleUntil([&] { return !document->IsModified(); }));
    EXPECT_NE(FileBytes(path).find("Oat milk & bread"), std::string::npos);
}

} // namespace
