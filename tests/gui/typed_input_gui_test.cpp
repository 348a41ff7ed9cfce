// What a user types, pastes and clicks reaches the document as meant: dates typed into
// the Action dialog, a pasted text with line breaks, and the Delete question after
// clicks in the view and the tree. Driven with xdotool on the virtual screen; the saved
// file is read back.
#include "app/skedradoc.h"
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
#include "views/viewflags.h"
#include "wx/folder_tree_window.h"
#include "wx/item_view_window.h"
#include "wx/main_frame.h"
#include "wx/wx_ids.h"
#include "wx/wx_ui.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/docview.h>
#include <wx/print.h>
#include <wx/ribbon/bar.h>
#include <wx/ribbon/buttonbar.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

extern char** environ;

namespace {

// Lets the program handle what is pending: input, paints, timers.
void Pump(int milliseconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        wxTheApp->ProcessPendingEvents();
        wxYield();
        wxMilliSleep(10);
    } while (std::chrono::steady_clock::now() < end);
}

// Runs an xdotool script (one command a line, through the shell) while the program goes on
// handling events, and waits for it (at most 60 seconds); true when every step succeeded.
bool UserDoes(const std::string& script) {
    std::vector<std::string> args = {"timeout", "60", "sh", "-ec", script};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    for (;;) {
        Pump(20);
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (done < 0) return false;
    }
    Pump(200);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string ClickAt(const wxPoint& p) {
    return "xdotool mousemove --sync " + std::to_string(p.x) + " " + std::to_string(p.y) +
           "\nxdotool click 1\n";
}

wxPoint CentreOnScreen(wxWindow& window) {
    return window.ClientToScreen(
        wxPoint(window.GetClientSize().x / 2, window.GetClientSize().y / 2));
}

// Polls (at most 60 seconds) until the condition holds.
bool Eventually(const std::function<bool()>& condition) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        Pump(50);
    }
    return true;
}

// The whole screen, as a picture under the build folder.
bool SaveScreen(const std::string& name) {
    Pump(300);
    wxScreenDC screen;
    // cairo hands out the copy of the screen it read last unless told the screen changed.
    using GetTarget = void* (*)(void*);
    using MarkDirty = void (*)(void*);
    static auto getTarget = reinterpret_cast<GetTarget>(dlsym(RTLD_DEFAULT, "cairo_get_target"));
    static auto markDirty =
        reinterpret_cast<MarkDirty>(dlsym(RTLD_DEFAULT, "cairo_surface_mark_dirty"));
    if (void* cairo = screen.GetHandle(); cairo && getTarget && markDirty)
        markDirty(getTarget(cairo));
    wxSize size = screen.GetSize();
    wxBitmap shot(size);
    wxMemoryDC memory(shot);
    memory.Blit(0, 0, size.x, size.y, &screen, 0, 0);
    memory.SelectObject(wxNullBitmap);
    return shot.SaveFile(std::string(VANTRY_SCREENSHOT_DIR) + "/" + name, wxBITMAP_TYPE_PNG);
}

// Where the ribbon shows the button of the command, on the screen.
bool RibbonButtonOnScreen(wxWindow* window, int command, wxPoint& where) {
    for (wxWindow* child : window->GetChildren()) {
        auto* bar = dynamic_cast<wxRibbonButtonBar*>(child);
        if (bar && bar->GetItemById(WxIdOf(command)) && bar->IsShownOnScreen()) {
            wxRect r = bar->GetItemRect(WxIdOf(command));
            where = bar->ClientToScreen(wxPoint(r.x + r.width / 2, r.y + r.height / 2));
            return true;
        }
        if (RibbonButtonOnScreen(child, command, where)) return true;
    }
    return false;
}

// Where a row of the item view is on the screen: a little into its text.
wxPoint RowOnScreen(const VNode* item) {
    ItemViewWindow& window = *Frame().ItemWindow();
    return window.ClientToScreen(window.CalcScrolledPosition(
        wxPoint(item->rect.x + 60, item->rect.y + item->rect.height / 2)));
}

// The text control right of the label with this caption.
wxTextCtrl* FieldLabelled(wxWindow& dialog, const wxString& caption) {
    std::vector<wxWindow*> all;
    std::function<void(wxWindow&)> collect = [&](wxWindow& w) {
        for (wxWindow* child : w.GetChildren()) {
            all.push_back(child);
            collect(*child);
        }
    };
    collect(dialog);
    for (wxWindow* label : all)
        if (dynamic_cast<wxStaticText*>(label) && label->GetLabel() == caption)
            for (wxWindow* text : all)
                if (auto* field = dynamic_cast<wxTextCtrl*>(text);
                    field && field->GetParent() == label->GetParent() &&
                    std::abs(field->GetPosition().y + field->GetSize().y / 2 -
                             (label->GetPosition().y + label->GetSize().y / 2)) < 12 &&
                    field->GetPosition().x > label->GetPosition().x)
                    return field;
    return nullptr;
}

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
    // Opens the saved collection as the program's document, shown as a list.
    void Open(VCollection& start) {
        ASSERT_TRUE(start.Save(path.c_str()));
        ASSERT_TRUE(Frame().OpenDocumentFile(path));
        Frame().ItemView().SetViewType(0);
        Frame().Raise();
        Pump(300);
    }
    // Ctrl+S in the item view, then the file as saved.
    void SaveAndReload(VCollection& saved) {
        Frame().ItemWindow()->SetFocus();
        Pump(100);
        ASSERT_TRUE(UserDoes("xdotool key ctrl+s\n"));
        ASSERT_TRUE(Eventually(
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
    Doc().collection->dateFormat = 1;           // DD-MM-YYYY, as the view shows dates
    Frame().Ribbon()->SetActivePage((size_t)1); // "Items"
    Pump(200);
    wxPoint actionButton;
    ASSERT_TRUE(RibbonButtonOnScreen(Frame().Ribbon(), CMD_ADD_ACTION, actionButton));

    bool typed = false, refusedThenAccepted = false;
    std::string shownStart, shownEnd, shownDuration;
    EXPECT_TRUE(WhileDialogShows(
        "Action", [&] { UserDoes(ClickAt(actionButton)); },
        [&](wxDialog& dialog) {
            wxTextCtrl* startField = FieldLabelled(dialog, "Start date");
            wxTextCtrl* endField = FieldLabelled(dialog, "End date");
            wxTextCtrl* durationField = FieldLabelled(dialog, "Duration (in days)");
            ASSERT_TRUE(startField && endField && durationField);
            typed = UserDoes("xdotool type --delay 40 'Paint the shed'\n" +
                             ClickAt(CentreOnScreen(*startField)) +
                             "xdotool key ctrl+a\n"
                             "xdotool type --delay 80 '20-12-2026'\n"
                             "xdotool key Tab\n");
            ASSERT_TRUE(Eventually([&] { return durationField->GetValue() != ""; }));
            SaveScreen("action-dates-typed.png");
            shownStart = startField->GetValue().ToStdString();
            shownEnd = endField->GetValue().ToStdString();
            shownDuration = durationField->GetValue().ToStdString();

            // 31 February: a message, the dialog stays open with the text for mending.
            boxes.asked.clear();
            refusedThenAccepted = UserDoes(ClickAt(CentreOnScreen(*endField)) +
                                           "xdotool key ctrl+a\n"
                                           "xdotool type --delay 80 '31-02-2027'\n"
                                           "xdotool key Tab\n"
                                           "xdotool search --sync --onlyvisible --name '^Error$' "
                                           "windowactivate --sync\n"
                                           "sleep 0.3\n"
                                           "xdotool key Return\n");
            EXPECT_TRUE(dialog.IsModal()) << "the dialog stays open";
            EXPECT_EQ(endField->GetValue(), "31-02-2027") << "the typed text stays to be mended";
            SaveScreen("action-date-refused.png");
            refusedThenAccepted &= UserDoes(ClickAt(CentreOnScreen(*endField)) +
                                            "xdotool key ctrl+a\n"
                                            "xdotool type --delay 80 '24-12-2026'\n"
                                            "xdotool key Tab\n");
            wxWindow* ok = dialog.FindWindow(wxID_OK);
            ASSERT_NE(ok, nullptr);
            refusedThenAccepted &= UserDoes(ClickAt(CentreOnScreen(*ok)));
            EXPECT_TRUE(Eventually([&] { return !dialog.IsModal(); }));
        }));
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

    Frame().ItemWindow()->SetFocus();
    Pump(100);
    EXPECT_TRUE(UserDoes("xdotool key shift+d\n"
                         "xdotool search --sync --onlyvisible --name '^To Do$' "
                         "windowactivate --sync\n"
                         "sleep 0.3\n"
                         "xdotool key ctrl+v\n"
                         "sleep 0.3\n"
                         "xdotool key Return\n"))
        << "xdotool found the to-do dialog and pasted";
    Frame().ItemWindow()->SetFocus();
    Pump(100);
    EXPECT_TRUE(UserDoes("xdotool key shift+g\n"
                         "xdotool search --sync --onlyvisible --name '^Folder properties' "
                         "windowactivate --sync\n"
                         "sleep 0.3\n"
                         "xdotool key ctrl+a ctrl+v\n"
                         "sleep 0.3\n"
                         "xdotool key Return\n"))
        << "xdotool found the folder dialog and pasted";
    Frame().UpdateAllViews();
    SaveScreen("pasted-line-breaks.png");

    VCollection saved;
    SaveAndReload(saved);
    auto* todo = dynamic_cast<VTodo*>(Named(saved, "a b c"));
    ASSERT_NE(todo, nullptr) << "the to-do's text on one line";
    VNode* folder = nullptr;
    for (VNode* n = saved.root->next; n; n = n->next)
        if (IsFolder(n)) folder = n;
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
    Frame().UpdateAllViews();
    Frame().ItemWindow()->Update();
    Pump(200);
    VNode* shownProjects = Named(*Doc().collection, "Projects");
    ASSERT_NE(shownProjects, nullptr);
    ASSERT_TRUE(UserDoes(ClickAt(RowOnScreen(shownProjects))));
    ASSERT_TRUE(Eventually([&] { return Doc().collection->Selected() == shownProjects; }));

    FolderTreeWindow& tree = *Frame().LeftView();
    wxRect r;
    ASSERT_TRUE(tree.GetBoundingRect(tree.ItemOf(shownProjects), r, true));
    ASSERT_TRUE(
        UserDoes(ClickAt(tree.ClientToScreen(wxPoint(r.x + r.width / 2, r.y + r.height / 2)))));
    ASSERT_TRUE(Eventually([&] { return view.Folder() == shownProjects; }));
    Frame().UpdateAllViews();
    Frame().ItemWindow()->Update();
    Pump(200);
    VNode* shownReport = Named(*Doc().collection, "Report");
    ASSERT_NE(shownReport, nullptr);
    ASSERT_TRUE(UserDoes(ClickAt(RowOnScreen(shownReport))));
    SaveScreen("delete-after-folder-clicks.png");

    boxes.asked.clear();
    EXPECT_TRUE(UserDoes("xdotool key Delete\n"
                         "xdotool search --sync --onlyvisible --name '^Delete items$' "
                         "windowactivate --sync\n"
                         "sleep 0.3\n"
                         "xdotool key Escape\n"))
        << "the question showed";
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0], "Are you sure you want to delete this item?");
    EXPECT_NE(Named(*Doc().collection, "Report"), nullptr) << "No deletes nothing";
}

} // namespace

namespace {

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
    FolderTreeWindow& tree = *Frame().LeftView();
    VNode* openTrips = Named(*Doc().collection, "Trips");
    VNode* openSummer = Named(*Doc().collection, "Summer");
    ASSERT_TRUE(openTrips && openSummer);
    ASSERT_FALSE(tree.IsExpanded(tree.ItemOf(openTrips)));
    // The user opens Trips: a double click on its label.
    wxRect r;
    ASSERT_TRUE(tree.GetBoundingRect(tree.ItemOf(openTrips), r, true));
    wxPoint onTrips = tree.ClientToScreen(wxPoint(r.x + r.width / 2, r.y + r.height / 2));
    ASSERT_TRUE(UserDoes("xdotool mousemove --sync " + std::to_string(onTrips.x) + " " +
                         std::to_string(onTrips.y) + "\nxdotool click --repeat 2 1\n"));
    ASSERT_TRUE(Eventually([&] { return tree.IsExpanded(tree.ItemOf(openTrips)); }));
    EXPECT_TRUE(openTrips->flags & EXPANDED);
    ASSERT_TRUE(tree.IsExpanded(tree.ItemOf(openSummer)));

    Frame().Ribbon()->SetActivePage((size_t)2); // "List view"
    Pump(200);
    wxPoint gantt;
    ASSERT_TRUE(RibbonButtonOnScreen(Frame().Ribbon(), CMD_SHOW_GANTT, gantt));
    auto ganttShown = [] { return (Doc().GetGlobalInt("view_flags", 0) & VIEW_GANTT) != 0; };
    bool before = ganttShown();
    ASSERT_TRUE(UserDoes(ClickAt(gantt)));
    ASSERT_TRUE(Eventually([&] { return ganttShown() != before; })) << "the click took";
    EXPECT_TRUE(openTrips->flags & EXPANDED);
    EXPECT_TRUE(tree.IsExpanded(tree.ItemOf(openTrips))) << "Trips stays open";
    EXPECT_TRUE(tree.IsExpanded(tree.ItemOf(openSummer))) << "Summer stays open";
    SaveScreen("tree-after-view-option.png");
    ASSERT_TRUE(UserDoes(ClickAt(gantt)));
    ASSERT_TRUE(Eventually([&] { return ganttShown() == before; }));
    EXPECT_TRUE(tree.IsExpanded(tree.ItemOf(openTrips)));
}

} // namespace

namespace {

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
    wxPreviewFrame* preview = nullptr;
    ASSERT_TRUE(Eventually([&] {
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* frame = dynamic_cast<wxPreviewFrame*>(window); frame && frame->IsShown())
                preview = frame;
        return preview != nullptr;
    }));
    wxPreviewCanvas* canvas = nullptr;
    for (wxWindow* child : preview->GetChildren())
        if (auto* c = dynamic_cast<wxPreviewCanvas*>(child)) canvas = c;
    ASSERT_NE(canvas, nullptr);
    Pump(500);
    SaveScreen("print-preview.png");
    wxSize page = canvas->GetVirtualSize(), shown = canvas->GetClientSize();
    EXPECT_GE(shown.x, page.x) << "the page's width shows";
    EXPECT_GE(shown.y, page.y) << "the page's height shows";
    preview->Close(true);
    Pump(300);
}

} // namespace
