// What a user types, pastes and clicks reaches the document as meant: dates typed into
// the Action dialog, a pasted text with line breaks, and the Delete question after
// clicks in the view and the tree. Driven with xdotool on the virtual screen; the saved
// file is read back.
#include "app/skedraDoc.h"
#include "gui/gui_support.h"
#include "model/vcollection.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "model/vvisibility.h"
#include "platform/command_ids.h"
#include "support/temp_dir.h"
#include "views/skedraView.h"
#include "views/view_flags.h"
#include "wx/left_view_window.h"
#include "wx/item_view_window.h"
#include "wx/main_frame.h"
#include "wx/wx_ids.h"
#include "wx/wx_ui.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/docview.h>
#include <wx/print.h>
#include <wx/ribbon/bar.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

// The real message boxes, with every question's text kept for the test.
class WatchedBoxes : public WxUIServices {
  public:
    MsgAnswer MessageBox(const char* text, const char* caption, MsgButtons buttons,
                         MsgIcon icon) override {
        asked.push_back(text);
        return WxUIServices::MessageBox(text, caption, buttons, icon);
    }
    std::vector<std::string> asked;
};

class TypedInputGuiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CurrentUI() = &boxes;
        path = dir.File("typed.vnt");
    }
    void TearDown() override {
        CurrentUI() = nullptr;
        if (wxDocument* doc = Frame().GetDocumentManager()->GetCurrentDocument())
            doc->Modify(false);
    }
    void Open(VCollection& start) { ASSERT_TRUE(OpenAsList(start, path)); }
    // Ctrl+S in the item view, then the file as saved.
    void SaveAndReload(VCollection& saved) {
        ASSERT_TRUE(GiveFocus(Frame().ItemWindow()));
        ASSERT_TRUE(UserDoes("xdotool key ctrl+s\n"));
        ASSERT_TRUE(SettleUntil(
            [] { return !Frame().GetDocumentManager()->GetCurrentDocument()->IsModified(); }));
        saved.Load(path.c_str());
    }
    static VNode* Named(VCollection& c, const std::string& text) {
        for (VNode* n = c.root->next; n; n = n->next) {
            qstring shown;
            n->Describe(shown, true);
            if (text == shown.Text()) return n;
        }
        return nullptr;
    }

    WatchedBoxes boxes;
    TempDir dir;
    std::string path;
};

// Items > Action, a text, the start date typed over the old one, an impossible end date
// refused with a message, OK: the file holds the dates as typed.
TEST_F(TypedInputGuiTest, DatesTypedIntoTheActionDialogAreStoredAsTyped) {
    VCollection start;
    Open(start);
    Doc().Collection()->dateFormat = 1;         // DD-MM-YYYY, as the view shows dates
    Frame().Ribbon()->SetActivePage((size_t)1); // "Items"
    wxPoint actionButton;
    ASSERT_TRUE(SettleUntil([&] { return RibbonButtonOnScreen(CMD_ADD_ACTION, actionButton); }));

    bool typed = false, refusedThenAccepted = false;
    std::string shownStart, shownEnd, shownDuration;
    auto fill = [&](wxDialog& dialog) {
        wxTextCtrl* startField = FieldLabelled(dialog, "Start date");
        wxTextCtrl* endField = FieldLabelled(dialog, "End date");
        wxTextCtrl* durationField = FieldLabelled(dialog, "Duration (in days)");
        ASSERT_TRUE(startField && endField && durationField);
        typed = UserDoes("xdotool type --delay 40 'Paint the shed'\n" +
                         ClickAt(CentreOnScreen(*startField)) +
                         "xdotool key ctrl+a\n"
                         "xdotool type --delay 80 '20-12-2026'\n"
                         "xdotool key Tab\n");
        ASSERT_TRUE(SettleUntil([&] { return durationField->GetValue() != ""; }));
        EXPECT_TRUE(SaveScreenPicture("action-dates-typed.png"));
        shownStart = startField->GetValue().ToStdString();
        shownEnd = endField->GetValue().ToStdString();
        shownDuration = durationField->GetValue().ToStdString();

        // 31 February: a message, the dialog stays open with the text for mending.
        boxes.asked.clear();
        refusedThenAccepted =
            UserDoes(ClickAt(CentreOnScreen(*endField)) + "xdotool key ctrl+a\n"
                                                          "xdotool type --delay 80 '31-02-2027'\n"
                                                          "xdotool key Tab\n"
                                                          "window_shows '^Error$'\n"
                                                          "xdotool key Return\n");
        EXPECT_TRUE(dialog.IsModal()) << "the dialog stays open";
        EXPECT_EQ(endField->GetValue(), "31-02-2027") << "the typed text stays to be mended";
        EXPECT_TRUE(SaveScreenPicture("action-date-refused.png"));
        refusedThenAccepted &=
            UserDoes(ClickAt(CentreOnScreen(*endField)) + "xdotool key ctrl+a\n"
                                                          "xdotool type --delay 80 '24-12-2026'\n"
                                                          "xdotool key Tab\n");
        wxWindow* ok = dialog.FindWindow(wxID_OK);
        ASSERT_NE(ok, nullptr);
        refusedThenAccepted &= UserDoes(ClickAt(CentreOnScreen(*ok)));
        EXPECT_TRUE(SettleUntil([&] { return !dialog.IsModal(); }));
    };
    // The click that opens the dialog is the user's too: its script waits until the
    // dialog has been filled in, so that it does not count as left open.
    bool clicked = false, filled = false;
    EXPECT_TRUE(WhileDialogShows(
        "Action",
        [&] {
            clicked = UserDoes(ClickAt(actionButton) + "until_program filled\n",
                               {{"filled", [&] { return filled; }}});
        },
        [&](wxDialog& dialog) {
            fill(dialog);
            filled = true;
        }));
    EXPECT_TRUE(clicked) << "the ribbon button opened the dialog";
    EXPECT_TRUE(typed) << "xdotool typed into the dialog";
    EXPECT_TRUE(refusedThenAccepted) << "the message showed and was answered";
    EXPECT_EQ(shownStart, "20-12-2026") << "the field keeps what was typed";
    EXPECT_EQ(shownEnd, "20-12-2026");
    EXPECT_EQ(shownDuration, "1");
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0], "\"31-02-2027\" is not a date. Please type the date as DD-MM-YYYY.");

    VCollection saved;
    SaveAndReload(saved);
    VTask* task = nullptr;
    for (VNode* n = saved.root->next; n; n = n->next)
        if (auto* t = dynamic_cast<VTask*>(n)) task = t;
    ASSERT_NE(task, nullptr);
    EXPECT_STREQ(task->what.Text(), "Paint the shed");
    EXPECT_STREQ(task->startDate.Text(), "2026-12-20");
    EXPECT_EQ(task->duration, 5) << "20 to 24 December";
    EXPECT_FALSE(task->flags & NO_DATE);
}

// A text with line breaks pasted into the to-do dialog and the folder dialog is stored
// on one line.
TEST_F(TypedInputGuiTest, PastedLineBreaksBecomeBlanks) {
    VCollection start;
    Open(start);
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->SetData(new wxTextDataObject("a\nb\nc"));
    wxTheClipboard->Close();

    ASSERT_TRUE(GiveFocus(Frame().ItemWindow()));
    EXPECT_TRUE(UserDoes("xdotool key shift+d\n"
                         "window_shows '^To Do$'\n"
                         "xdotool key ctrl+v\n"
                         "handled\n"
                         "xdotool key Return\n"))
        << "xdotool found the to-do dialog and pasted";
    ASSERT_TRUE(GiveFocus(Frame().ItemWindow()));
    EXPECT_TRUE(UserDoes("xdotool key shift+g\n"
                         "window_shows '^Folder properties'\n"
                         "xdotool key ctrl+a ctrl+v\n"
                         "handled\n"
                         "xdotool key Return\n"))
        << "xdotool found the folder dialog and pasted";
    EXPECT_TRUE(RowsLaidOut());
    EXPECT_TRUE(SaveScreenPicture("pasted-line-breaks.png"));

    VCollection saved;
    SaveAndReload(saved);
    VTodo* todo = nullptr;
    VNode* folder = nullptr;
    for (VNode* n = saved.root->next; n; n = n->next) {
        if (IsFolder(n)) folder = n;
        if (auto* t = dynamic_cast<VTodo*>(n)) todo = t;
    }
    ASSERT_NE(todo, nullptr);
    EXPECT_STREQ(todo->what.Text(), "a b c") << "the to-do's text on one line";
    ASSERT_NE(folder, nullptr);
    EXPECT_STREQ(folder->name.Text(), "a b c");
}

// All folders: the "Projects" row, then "Projects" in the tree, then the "Report" row:
// Delete asks about that one row, not the folder behind it.
TEST_F(TypedInputGuiTest, DeleteAsksAboutTheRowTheUserSees) {
    VCollection start;
    auto* projects = new VGroup(&start);
    projects->name = "Projects";
    start.Add(projects, start.root);
    auto* report = new VTodo(&start);
    report->what = "Report";
    start.Add(report, projects);
    for (int i = 0; i < 12; ++i) {
        auto* step = new VTodo(&start);
        step->what = ("Step " + std::to_string(i + 10)).c_str();
        start.Add(step, projects);
    }
    Open(start);
    CSkedraView& view = Frame().ItemView();
    ASSERT_TRUE(RowsLaidOut());
    VNode* shownProjects = Named(*Doc().Collection(), "Projects");
    ASSERT_NE(shownProjects, nullptr);
    ASSERT_TRUE(UserDoes(ClickAt(RowOnScreen(shownProjects))));
    ASSERT_TRUE(SettleUntil([&] { return Doc().Collection()->Selected() == shownProjects; }));

    LeftViewWindow& tree = *Frame().LeftView();
    wxPoint inTree;
    ASSERT_TRUE(TreeLabelOnScreen(tree, shownProjects, inTree));
    ASSERT_TRUE(UserDoes(ClickAt(inTree)));
    ASSERT_TRUE(SettleUntil([&] { return view.Folder() == shownProjects; }));
    ASSERT_TRUE(RowsLaidOut());
    VNode* shownReport = Named(*Doc().Collection(), "Report");
    ASSERT_NE(shownReport, nullptr);
    ASSERT_TRUE(UserDoes(ClickAt(RowOnScreen(shownReport))));
    EXPECT_TRUE(SaveScreenPicture("delete-after-folder-clicks.png"));

    boxes.asked.clear();
    EXPECT_TRUE(UserDoes("xdotool key Delete\n"
                         "window_shows '^Delete items$'\n"
                         "xdotool key Escape\n"))
        << "the question showed";
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0], "Are you sure you want to delete this item?");
    EXPECT_NE(Named(*Doc().Collection(), "Report"), nullptr) << "No deletes nothing";
}

// A view option (Show Gantt chart) changes nothing about which folders are open.
TEST_F(TypedInputGuiTest, TheTreeStaysOpenWhenAViewOptionChanges) {
    VCollection start;
    auto* trips = new VGroup(&start);
    trips->name = "Trips";
    start.Add(trips, start.root);
    auto* summer = new VGroup(&start);
    summer->name = "Summer";
    summer->flags |= EXPANDED;
    start.Add(summer, trips);
    auto* week = new VGroup(&start);
    week->name = "Week one";
    start.Add(week, summer);
    Open(start);
    LeftViewWindow& tree = *Frame().LeftView();
    VNode* openTrips = Named(*Doc().Collection(), "Trips");
    VNode* openSummer = Named(*Doc().Collection(), "Summer");
    ASSERT_TRUE(openTrips && openSummer);
    ASSERT_FALSE(tree.IsExpanded(tree.ItemOf(openTrips)));
    // The user opens Trips: a double click on its label.
    wxPoint onTrips;
    ASSERT_TRUE(TreeLabelOnScreen(tree, openTrips, onTrips));
    ASSERT_TRUE(UserDoes(MouseTo(onTrips) + "xdotool click --repeat 2 1\n"));
    ASSERT_TRUE(SettleUntil([&] { return tree.IsExpanded(tree.ItemOf(openTrips)); }));
    EXPECT_TRUE(openTrips->flags & EXPANDED);
    ASSERT_TRUE(tree.IsExpanded(tree.ItemOf(openSummer)));

    Frame().Ribbon()->SetActivePage((size_t)2); // "List view"
    wxPoint gantt;
    ASSERT_TRUE(SettleUntil([&] { return RibbonButtonOnScreen(CMD_SHOW_GANTT, gantt); }));
    auto ganttShown = [] { return (Doc().GetGlobalInt("view_flags", 0) & VIEW_GANTT) != 0; };
    bool before = ganttShown();
    ASSERT_TRUE(UserDoes(ClickAt(gantt)));
    ASSERT_TRUE(SettleUntil([&] { return ganttShown() != before; })) << "the click took";
    EXPECT_TRUE(openTrips->flags & EXPANDED);
    EXPECT_TRUE(tree.IsExpanded(tree.ItemOf(openTrips))) << "Trips stays open";
    EXPECT_TRUE(tree.IsExpanded(tree.ItemOf(openSummer))) << "Summer stays open";
    EXPECT_TRUE(SaveScreenPicture("tree-after-view-option.png"));
    ASSERT_TRUE(UserDoes(ClickAt(gantt)));
    ASSERT_TRUE(SettleUntil([&] { return ganttShown() == before; }));
    EXPECT_TRUE(tree.IsExpanded(tree.ItemOf(openTrips)));
}

// The print preview frame on the screen, if one shows.
wxPreviewFrame* ShownPreview() {
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* frame = dynamic_cast<wxPreviewFrame*>(window); frame && frame->IsShown())
            return frame;
    return nullptr;
}

// Print preview at its zoom shows the whole page, with the contact, call and pay icons.
TEST_F(TypedInputGuiTest, PrintPreviewShowsTheWholePage) {
    VCollection start;
    start.Add(new VCall(&start), start.root);
    start.Add(new VPay(&start), start.root);
    start.Add(new VContact(&start), start.root);
    auto* todo = new VTodo(&start);
    todo->what = "Ticked off";
    start.Add(todo, start.root);
    Open(start);
    SendCommand(CMD_PRINT_PREVIEW);
    ASSERT_TRUE(SettleUntil([] { return ShownPreview() && ShownPreview()->IsShownOnScreen(); }))
        << "the window manager shows the preview";
    wxPreviewFrame* preview = ShownPreview();
    wxPreviewCanvas* canvas = nullptr;
    for (wxWindow* child : preview->GetChildren())
        if (auto* c = dynamic_cast<wxPreviewCanvas*>(child)) canvas = c;
    ASSERT_NE(canvas, nullptr);
    EXPECT_TRUE(SaveScreenPicture("print-preview.png"));
    wxSize page = canvas->GetVirtualSize(), shown = canvas->GetClientSize();
    EXPECT_GE(shown.x, page.x) << "the page's width shows";
    EXPECT_GE(shown.y, page.y) << "the page's height shows";
    preview->Close(true);
    // Gone for good, not only hidden: a frame still waiting to be deleted would outlive the
    // document manager its destruction reports to.
    EXPECT_TRUE(SettleUntil([preview] {
        return ShownPreview() == nullptr && !wxTheApp->IsScheduledForDestruction(preview);
    }));
}

} // namespace
