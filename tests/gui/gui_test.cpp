// The real window program under a virtual screen: the ribbon, the document commands,
// the filters, the save question, and a screenshot of the main window.
#include "app/commands/command_table.h"
#include "app/ribbon_layout.h"
#include "app/skedraDoc.h"
#include "foundation/qclock.h"
#include "foundation/qshell.h"
#include "gui/gui_support.h"
#include "model/vcommitem.h"
#include "model/vdays.h"
#include "model/vpaint.h"
#include "model/vschedule.h"
#include "model/vtodo.h"
#include "platform/command_ids.h"
#include "platform/ui.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "test_paths.h"
#include "views/skedraView.h"
#include "wx/item_view_window.h"
#include "wx/left_view_window.h"
#include "wx/main_frame.h"
#include "wx/printing.h"
#include "wx/skedra_app.h"
#include "wx/wx_canvas.h"
#include "wx/wx_ids.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/splash.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/docview.h>
#include <wx/filedlg.h>
#include <wx/html/helpctrl.h>
#include <wx/html/htmlwin.h>
#include <wx/imagpng.h>
#include <wx/menu.h>
#include <wx/ribbon/bar.h>
#include <wx/ribbon/buttonbar.h>
#include <wx/ribbon/page.h>
#include <wx/ribbon/panel.h>
#include <wx/statbmp.h>
#include <wx/testing.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

wxDocManager& Manager() {
    return *Frame().GetDocumentManager();
}

void Choose(wxChoice* choice, int index) {
    choice->SetSelection(index);
    wxCommandEvent event(wxEVT_CHOICE, choice->GetId());
    event.SetInt(index);
    event.SetEventObject(choice);
    choice->GetEventHandler()->ProcessEvent(event);
    Settle();
}

// Every button and toggle of the ribbon's button bars, by wx id.
std::set<int> RibbonButtonIds(wxWindow* window) {
    std::set<int> ids;
    for (wxWindow* child : window->GetChildren()) {
        if (auto* bar = dynamic_cast<wxRibbonButtonBar*>(child))
            for (size_t i = 0; i < bar->GetButtonCount(); ++i)
                ids.insert(bar->GetItemId(bar->GetItem(i)));
        std::set<int> below = RibbonButtonIds(child);
        ids.insert(below.begin(), below.end());
    }
    return ids;
}

class GuiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Settle();
        Manager().CreateNewDocument();
        Settle();
    }
    void TearDown() override {
        if (wxDocument* doc = Manager().GetCurrentDocument()) doc->Modify(false);
    }
};

TEST_F(GuiTest, RibbonHasEveryElementWithItsCaptionAndCommand) {
    wxRibbonBar* ribbon = Frame().Ribbon();
    ASSERT_EQ(ribbon->GetPageCount(), RibbonCategories().size());
    std::set<int> buttons = RibbonButtonIds(ribbon);
    int elements = 0;
    for (size_t p = 0; p < RibbonCategories().size(); ++p) {
        const RibbonCategory& category = RibbonCategories()[p];
        EXPECT_EQ(ribbon->GetPage(p)->GetLabel(), category.caption);
        for (const RibbonPanel& panel : category.panels)
            for (const RibbonElement& e : panel.elements) {
                ++elements;
                bool found = false;
                auto range = Frame().RibbonCaptions().equal_range(e.command);
                for (auto it = range.first; it != range.second; ++it)
                    found |= it->second == e.caption;
                EXPECT_TRUE(found) << e.caption << " " << e.command;
                bool isControl = e.kind == RibbonKind::ComboBox || e.kind == RibbonKind::Edit ||
                                 panel.caption == "Contact-related viewing" ||
                                 panel.caption == "Quickly filtering displayed items";
                if (isControl)
                    EXPECT_NE(wxWindow::FindWindowById(WxIdOf(e.command), &Frame()), nullptr)
                        << e.caption;
                else
                    EXPECT_TRUE(buttons.count(WxIdOf(e.command))) << e.caption;
            }
    }
    EXPECT_EQ(elements, 48);
    EXPECT_EQ(Frame().StateFilterBox()->GetStringSelection(), "all active items (default)");
    EXPECT_EQ(Frame().SortBox()->GetStringSelection(), "logically (default)");
    EXPECT_EQ(Frame().StateFilterBox()->GetCount(), 6u);
    EXPECT_EQ(Frame().ContactFilterBox()->GetString(0), "<all contacts>");
    EXPECT_NE(Frame().FileMenu()->FindItem(WxIdOf(CMD_FILE_SAVE_AS)), nullptr);
    EXPECT_NE(Frame().FileMenu()->FindItem(WxIdOf(CMD_PRINT_PREVIEW)), nullptr);
    EXPECT_NE(Frame().FileMenu()->FindItem(WxIdOf(CMD_EXIT)), nullptr);
}

TEST_F(GuiTest, NewSaveAndOpenGoThroughTheDocument) {
    TempDir dir;
    auto* todo = new VTodo(Doc().Collection());
    todo->what = "saved through the window";
    Doc().Collection()->Add(todo, Doc().Collection()->root);
    Manager().GetCurrentDocument()->Modify(true);
    std::string path = dir.File("gui.vnt");
    Manager().GetCurrentDocument()->SetFilename(path, true);
    Manager().GetCurrentDocument()->SetDocumentSaved(
        true); // a named document: Save asks for no name
    SendCommand(CMD_FILE_SAVE);
    EXPECT_FALSE(Manager().GetCurrentDocument()->IsModified());
    std::string saved = FileBytes(path);
    ASSERT_GE(saved.size(), 8u);
    EXPECT_EQ(saved.substr(0, 4), "VGZ1");

    SendCommand(CMD_FILE_NEW);
    EXPECT_EQ(Doc().Collection()->root->next, nullptr);
    ASSERT_NE(Manager().CreateDocument(path, wxDOC_SILENT), nullptr);
    Settle();
    ASSERT_NE(Doc().Collection()->root->next, nullptr);
    EXPECT_STREQ(static_cast<VTodo*>(Doc().Collection()->root->next)->what.Text(),
                 "saved through the window");
    EXPECT_TRUE(Frame().GetTitle().Contains("gui.vnt")) << Frame().GetTitle();
}

TEST_F(GuiTest, ADroppedFileOpensAndAnUnreadableOneIsReported) {
    ScriptedUI ui;
    auto* files = new wxString[1]{wxString(VANTRY_DEMO_DOCUMENT)}; // the event owns the array
    wxDropFilesEvent drop(wxEVT_DROP_FILES, 1, files);
    Frame().GetEventHandler()->ProcessEvent(drop);
    Settle();
    EXPECT_TRUE(Frame().GetTitle().Contains("demo.vnt")) << Frame().GetTitle();
    EXPECT_NE(Doc().Collection()->root->next, nullptr);

    EXPECT_FALSE(Frame().OpenDocumentFile("/no/such/file.vnt"));
    Settle();
    ASSERT_FALSE(ui.asked.empty());
    EXPECT_EQ(ui.asked.back().text, "Can't open file (/no/such/file.vnt).");
}

TEST_F(GuiTest, TheTitleNamesTheProgramTheDocumentAndItsChanges) {
    ASSERT_TRUE(Frame().OpenDocumentFile(VANTRY_DEMO_DOCUMENT));
    Settle();
    EXPECT_EQ(Frame().GetTitle(), "Vantry v4.0.4 - demo.vnt");
    Manager().GetCurrentDocument()->Modify(true);
    EXPECT_EQ(Frame().GetTitle(), "Vantry v4.0.4 - demo.vnt *");
    Manager().GetCurrentDocument()->Modify(false);
    EXPECT_EQ(Frame().GetTitle(), "Vantry v4.0.4 - demo.vnt");
    Manager().CreateNewDocument();
    Settle();
    EXPECT_EQ(Frame().GetTitle(), "Vantry v4.0.4 - Vantry");
}

// Answers the About box with OK after noting what it shows.
class AboutBoxSeen : public wxExpectModalBase<wxDialog> {
  public:
    mutable wxString title;
    mutable bool okButton = false;
    mutable wxSize picture;
    mutable bool hasIcon = false;

  protected:
    int OnInvoked(wxDialog* box) const override {
        title = box->GetTitle();
        hasIcon = !box->GetIcons().IsEmpty();
        for (wxWindow* child : box->GetChildren()) {
            if (auto* button = dynamic_cast<wxButton*>(child))
                okButton |= button->GetId() == wxID_OK && button->GetLabel() == "OK";
            if (auto* bitmap = dynamic_cast<wxStaticBitmap*>(child))
                picture = bitmap->GetBitmap().GetSize();
        }
        return wxID_OK;
    }
};

TEST_F(GuiTest, TheAboutBoxAndTheFrameCarryTheProgramsIcon) {
    AboutBoxSeen about;
    wxTEST_DIALOG(SendCommand(CMD_ABOUT), about);
    EXPECT_EQ(about.title, "About Vantry");
    EXPECT_TRUE(about.okButton);
    EXPECT_EQ(about.picture, wxSize(48, 48));
    EXPECT_TRUE(about.hasIcon);
    EXPECT_FALSE(Frame().GetIcons().IsEmpty());
    EXPECT_TRUE(Frame().GetIcon().IsOk());
}

TEST_F(GuiTest, TheFileMenusPrintPrintsAndItsCommandsShowWhatTheyDo) {
    wxMenu* menu = Frame().FileMenu();
    wxMenuItem* print = menu->FindItem(WxIdOf(CMD_PRINT));
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->GetSubMenu(), nullptr) << "choosing Print prints";
    EXPECT_EQ(print->GetItemLabelText(), "Print");
    wxMenu* commands = nullptr;
    for (wxMenuItem* item : menu->GetMenuItems())
        if (item->GetItemLabelText() == "Print Commands") commands = item->GetSubMenu();
    ASSERT_NE(commands, nullptr);
    for (int command : {CMD_PRINT_DIRECT, CMD_PRINT_PREVIEW, CMD_PRINT_SETUP}) {
        wxMenuItem* item = commands->FindItem(WxIdOf(command));
        ASSERT_NE(item, nullptr) << command;
        EXPECT_FALSE(item->GetHelp().empty());
        EXPECT_TRUE(item->GetItemLabelText().Contains("\n" + item->GetHelp()))
            << "the description shows under the caption";
    }
}

// (A real Quick Print waits for GTK's print back-ends, which a virtual screen without a
// print service never answers: the outcome is reported through one function.)
TEST_F(GuiTest, AQuickPrintThatFailsSaysSo) {
    ScriptedUI ui;
    ReportQuickPrint(true, wxPRINTER_NO_ERROR);
    ReportQuickPrint(false, wxPRINTER_CANCELLED);
    EXPECT_TRUE(ui.asked.empty()) << "printed, or cancelled by the user";
    ReportQuickPrint(false, wxPRINTER_ERROR);
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].caption, "Error");
    EXPECT_EQ(ui.asked[0].text, "Quick Print could not print the document. Choose a printer "
                                "with Print or Print Setup and try again.");
}

TEST_F(GuiTest, TheStateFilterShowsOneAmpersand) {
    EXPECT_EQ(Frame().StateFilterBox()->GetString(1), "active & inactive items");
}

TEST_F(GuiTest, SortViewReordersTheRowsAtOnce) {
    ASSERT_TRUE(Frame().OpenDocumentFile(VANTRY_DEMO_DOCUMENT));
    Settle();
    CSkedraView& view = Frame().ItemView();
    view.SetViewType(0);
    Frame().ItemWindow()->Update();
    Settle();
    Choose(Frame().SortBox(), 1);
    Frame().ItemWindow()->Update(); // the repaint the choice asked for
    EXPECT_EQ(Doc().Collection()->sortMode, 1);
    EXPECT_FALSE(view.needsRebuild) << "the rows were built again in the new order";
    Choose(Frame().SortBox(), 0);
}

// The real program, started as a user would: by a file's name on the command line.
class ProgramWindow {
  public:
    explicit ProgramWindow(const std::string& argument) {
        pid = fork();
        if (pid == 0) {
            setenv("VANTRY_NO_SPLASH", "1", 1);
            execl(VANTRY_BINARY, VANTRY_BINARY, argument.c_str(), (char*)nullptr);
            _exit(127);
        }
    }
    ~ProgramWindow() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    // The titles of the program's windows once one matching the pattern shows, within
    // the time given; empty when none does.
    std::vector<std::string> WaitForWindow(const std::string& pattern, int seconds = WAIT_SECONDS) {
        for (int tries = 0; tries < seconds * 10; ++tries) {
            std::vector<std::string> titles;
            std::string ids = Shell("xdotool search --all --onlyvisible --pid " +
                                    std::to_string(pid) + " --name '" + pattern + "' 2>/dev/null");
            std::istringstream lines(ids);
            for (std::string id; std::getline(lines, id);)
                if (!id.empty()) titles.push_back(Shell("xdotool getwindowname " + id));
            for (std::string& t : titles)
                if (!t.empty() && t.back() == '\n') t.pop_back();
            if (!titles.empty()) return titles;
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                pid = -1; // ended without a window
                return {};
            }
            wxMilliSleep(100);
        }
        return {};
    }

  private:
    static std::string Shell(const std::string& command) {
        std::string output;
        std::FILE* pipe = popen(command.c_str(), "r");
        char buffer[256];
        while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, n);
        pclose(pipe);
        return output;
    }
    pid_t pid = -1;
};

TEST_F(GuiTest, AnyFileTheUserNamesOpensInTheWindow) {
    TempDir dir;
    std::string demo = FileBytes(VANTRY_DEMO_DOCUMENT);
    std::ofstream(dir.File("doc.bak"), std::ios::binary) << demo;
    std::ofstream(dir.File("caf\xE9.vnt"), std::ios::binary) << demo;
    {
        ProgramWindow program("doc.bak");
        EXPECT_EQ(program.WaitForWindow("^Vantry v4"),
                  std::vector<std::string>{"Vantry v4.0.4 - doc.bak"});
    }
    {
        ProgramWindow program("caf\xE9.vnt"); // Latin-1, not UTF-8
        EXPECT_EQ(program.WaitForWindow("^Vantry v4"),
                  std::vector<std::string>{"Vantry v4.0.4 - caf\xC3\xA9.vnt"});
    }
    {
        // What is no file is refused in a message box, and nothing waits for the FIFO.
        ASSERT_EQ(mkfifo(dir.File("pipe.vnt").c_str(), 0600), 0);
        ProgramWindow program("pipe.vnt");
        EXPECT_EQ(program.WaitForWindow("^Error$"), std::vector<std::string>{"Error"});
    }
}

TEST_F(GuiTest, SplashShowsForThreeSeconds) {
    auto& app = static_cast<CSkedraApp&>(*wxTheApp);
    app.ShowSplash();
    Settle();
    EXPECT_TRUE(app.SplashVisible());
    EXPECT_TRUE(app.SplashTimerRunning());
    EXPECT_EQ(CSkedraApp::SPLASH_MILLISECONDS, 3000);
    app.HideSplash();
    EXPECT_FALSE(app.SplashVisible());
    EXPECT_FALSE(app.SplashTimerRunning());
    app.HideSplash(); // a later timer finds it hidden and does nothing
    EXPECT_FALSE(app.SplashVisible());
}

// A click on the splash closes it at once (wx destroys it); its timer, coming later, must
// not reach for the window that is gone (this crashed a start now and then).
TEST_F(GuiTest, ASplashClickedAwayLeavesNothingForItsTimer) {
    auto& app = static_cast<CSkedraApp&>(*wxTheApp);
    app.ShowSplash();
    ASSERT_TRUE(SettleUntil([&] { return app.SplashVisible(); }));
    wxWindow* shown = nullptr;
    ASSERT_TRUE(SettleUntil([&] {
        for (wxWindow* w : wxTopLevelWindows)
            if (dynamic_cast<wxSplashScreen*>(w) && w->IsShownOnScreen()) shown = w;
        return shown != nullptr;
    }));
    ASSERT_TRUE(UserDoes(ClickAt(CentreOnScreen(*shown))));
    EXPECT_TRUE(SettleUntil([&] { return !app.SplashVisible(); }))
        << "the click closed the splash";
    app.HideSplash(); // what the timer does when it fires
    EXPECT_FALSE(app.SplashTimerRunning());
}

TEST_F(GuiTest, FiltersChangeTheDocumentAndTheView) {
    Choose(Frame().StateFilterBox(), 5);
    Choose(Frame().StateFilterBox(), 3);
    EXPECT_EQ(Frame().ItemView().viewFlags & 0x312, 0x002u);
    EXPECT_EQ(Doc().Collection()->filterFlags & 15, 2u);
    Choose(Frame().StateFilterBox(), 0);
    EXPECT_EQ(Doc().Collection()->filterFlags & 15, 5u);

    Frame().FilterTextEdit()->ChangeValue("abc");
    wxCommandEvent enter(wxEVT_TEXT_ENTER, WxIdOf(CMD_TEXT_FILTER));
    Frame().FilterTextEdit()->GetEventHandler()->ProcessEvent(enter);
    Settle();
    EXPECT_STREQ(Doc().Collection()->filterText.Text(), "ABC");
    wxCommandEvent clear(wxEVT_BUTTON, WxIdOf(CMD_CLEAR_FILTER));
    Frame().GetEventHandler()->ProcessEvent(clear);
    EXPECT_STREQ(Doc().Collection()->filterText.Text(), "");
    EXPECT_EQ(Frame().FilterTextEdit()->GetValue(), "");

    Choose(Frame().SortBox(), 1);
    EXPECT_EQ(Doc().Collection()->sortMode, 1);
    Choose(Frame().SortBox(), 0);

    SendCommand(CMD_HIDE_OTHERS);
    auto* hideOthers =
        dynamic_cast<wxCheckBox*>(wxWindow::FindWindowById(WxIdOf(CMD_HIDE_OTHERS), &Frame()));
    ASSERT_NE(hideOthers, nullptr);
    EXPECT_TRUE(hideOthers->GetValue()) << "the check box shows its view flag";
    SendCommand(CMD_HIDE_OTHERS);
    EXPECT_FALSE(hideOthers->GetValue());

    std::uint32_t before = Frame().ItemView().viewFlags;
    SendCommand(CMD_SHOW_GANTT);
    EXPECT_EQ(Frame().ItemView().viewFlags, before ^ 0x20);
    EXPECT_EQ(Doc().GetGlobalInt("view_flags", 0), (int)(before ^ 0x20));
    SendCommand(CMD_SHOW_GANTT);

    int days = Frame().ItemView().ganttDaysInView;
    SendCommand(CMD_MORE_WEEKS);
    EXPECT_EQ(Frame().ItemView().ganttDaysInView, days + 7);
    EXPECT_TRUE(Manager().GetCurrentDocument()->IsModified());
    SendCommand(CMD_LESS_WEEKS);
}

// Ribbon clicks, quick-access buttons and menu commands all reach the command table or the
// document manager; update-UI answers come from the table.
TEST_F(GuiTest, EveryKindOfControlReachesItsCommand) {
    wxRibbonButtonBar* bar = RibbonBarWith(CMD_SHOW_GANTT);
    ASSERT_NE(bar, nullptr);
    std::uint32_t before = Frame().ItemView().viewFlags;
    wxRibbonButtonBarEvent click(wxEVT_RIBBONBUTTONBAR_CLICKED, WxIdOf(CMD_SHOW_GANTT), bar);
    click.SetEventObject(bar);
    bar->GetEventHandler()->ProcessEvent(click);
    Settle();
    EXPECT_EQ(Frame().ItemView().viewFlags, before ^ 0x20) << "a ribbon click";
    SendCommand(CMD_SHOW_GANTT);
    EXPECT_EQ(Frame().ItemView().viewFlags, before);

    auto* hideOthers =
        dynamic_cast<wxCheckBox*>(wxWindow::FindWindowById(WxIdOf(CMD_HIDE_OTHERS), &Frame()));
    ASSERT_NE(hideOthers, nullptr);
    bool shown = (Frame().ItemView().viewFlags & 0x400) != 0;
    hideOthers->SetValue(!shown);
    Frame().UpdateWindowUI(wxUPDATE_UI_RECURSE);
    EXPECT_EQ(hideOthers->GetValue(), shown) << "update-UI sets the box from the view flag";

    ScriptedUI ui;
    Manager().GetCurrentDocument()->Modify(true);
    ui.answers = {MsgAnswer::Cancel};
    wxWindow* newButton = wxWindow::FindWindowById(WxIdOf(CMD_FILE_NEW), &Frame());
    ASSERT_NE(newButton, nullptr);
    wxCommandEvent press(wxEVT_BUTTON, WxIdOf(CMD_FILE_NEW));
    press.SetEventObject(newButton);
    newButton->GetEventHandler()->ProcessEvent(press);
    Settle();
    ASSERT_EQ(ui.asked.size(), 1u) << "the quick-access New reached the document manager";
    EXPECT_EQ(ui.asked[0].text, "Save changes to Vantry?");
}

TEST_F(GuiTest, AModifiedDocumentAsksBeforeItIsReplaced) {
    ScriptedUI ui;
    Manager().GetCurrentDocument()->Modify(true);
    ui.answers = {MsgAnswer::Cancel};
    SendCommand(CMD_FILE_NEW);
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text, "Save changes to Vantry?");
    EXPECT_EQ(ui.asked[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_TRUE(Manager().GetCurrentDocument()->IsModified()) << "cancelled: nothing replaced";

    ui.answers = {MsgAnswer::No};
    SendCommand(CMD_FILE_NEW);
    EXPECT_EQ(ui.asked.size(), 2u);
    EXPECT_FALSE(Manager().GetCurrentDocument()->IsModified());
}

TEST_F(GuiTest, WebCommandsReportAPageThatCannotOpen) {
    ScriptedUI ui;
    std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", "/nonexistent", 1);
    SendCommand(CMD_VISIT_VANTRY);
    setenv("PATH", oldPath.c_str(), 1);
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text, "Can't start website (https://vantry.app/)");
    EXPECT_EQ(ui.asked[0].caption, "Error");
}

TEST_F(GuiTest, DemoDocumentInListModeWithTheGanttChart) {
    ASSERT_NE(Manager().CreateDocument(VANTRY_DEMO_DOCUMENT, wxDOC_SILENT), nullptr);
    Settle();
    CSkedraView& view = Frame().ItemView();
    Choose(Frame().StateFilterBox(), 5); // all items
    view.SetViewType(0);
    if (!(view.viewFlags & 0x020)) SendCommand(CMD_SHOW_GANTT);
    if (!(view.viewFlags & 0x080)) SendCommand(CMD_SHOW_PROGRESS);
    if (!(view.viewFlags & 0x040)) SendCommand(CMD_SHOW_DAYS);
    view.ganttStartDate.SetDate(23, 11, 2026); // a Monday before the demo's actions
    view.needsRebuild = true;
    Frame().Ribbon()->SetActivePage((size_t)2); // "List view"
    Frame().UpdateAllViews();
    EXPECT_TRUE(SaveFramePicture("demo-gantt.png"));
    EXPECT_GE(view.RowCount(), 20);
    EXPECT_TRUE(view.viewFlags & 0x020);
    Choose(Frame().StateFilterBox(), 0);
}

// Every text the item view draws, with the size the screen gives it.
class MeasuringCanvas : public WxCanvas {
  public:
    using WxCanvas::WxCanvas;
    struct Drawn {
        int x, y;
        std::string text;
        CanvasSize size;
        Colour colour;
    };
    void SetTextColour(Colour c) override {
        colour = c;
        WxCanvas::SetTextColour(c);
    }
    void Text(int x, int y, const std::string& text) override {
        drawn.push_back({x, y, text, TextExtent(text), colour});
        WxCanvas::Text(x, y, text);
    }
    void TextEllipsis(const CanvasRect& r, const std::string& text) override {
        drawn.push_back({r.left, r.top, text, TextExtent(text), colour});
        WxCanvas::TextEllipsis(r, text);
    }
    // The lowest text drawn at x with these letters, or null.
    const Drawn* Find(int x, const std::string& text) const {
        const Drawn* found = nullptr;
        for (const Drawn& d : drawn)
            if (d.x == x && d.text == text && (!found || d.y > found->y)) found = &d;
        return found;
    }
    const Drawn* Find(const std::string& text) const {
        for (const Drawn& d : drawn)
            if (d.text == text) return &d;
        return nullptr;
    }
    std::vector<Drawn> drawn;
    Colour colour;
};

void PaintOnBitmap(CSkedraView& view, MeasuringCanvas& canvas) {
    view.needsRebuild = true;
    view.OnPrepareDC(false);
    view.OnDraw(canvas, {0, 0, 1244, 900});
}

TEST_F(GuiTest, TextFitsTheCellsItIsDrawnIn) {
    ASSERT_NE(Manager().CreateDocument(VANTRY_DEMO_DOCUMENT, wxDOC_SILENT), nullptr);
    Settle();
    CSkedraView& view = Frame().ItemView();
    view.SetViewType(0);
    if (!(view.viewFlags & 0x020)) SendCommand(CMD_SHOW_GANTT);
    if (!(view.viewFlags & 0x040)) SendCommand(CMD_SHOW_DAYS);
    view.ganttStartDate.SetDate(23, 11, 2026);
    wxBitmap bitmap(1244, 900); // the item pane of a 1280-pixel screen
    wxMemoryDC dc(bitmap);
    {
        MeasuringCanvas canvas(dc);
        PaintOnBitmap(view, canvas);
        const GanttChart& chart = view.Gantt();
        ASSERT_EQ(chart.days, 56);
        ASSERT_EQ(chart.DayX(1) - chart.DayX(0), 14) << "days of 14 pixels";
        QDate day = chart.firstDay;
        for (int i = 0; i < chart.days; ++i, day.AddDays(1)) {
            const auto* digits = canvas.Find(chart.DayX(i) + 2, day.Format(1));
            ASSERT_NE(digits, nullptr) << "day " << i;
            EXPECT_LE(digits->x + digits->size.width, chart.DayX(i + 1))
                << digits->text << " runs into the next day";
            EXPECT_LE(digits->y + digits->size.height, chart.y0) << "inside the day band";
        }
        for (int i = 0; i < chart.days / 7; ++i) {
            const MeasuringCanvas::Drawn* week = nullptr;
            for (const auto& d : canvas.drawn)
                if (d.x == chart.WeekX(i) + 2 && d.text.rfind("wk ", 0) == 0) week = &d;
            ASSERT_NE(week, nullptr) << "week " << i;
            EXPECT_LE(week->x + week->size.width, chart.WeekX(i + 1)) << week->text;
        }
        // Rows: letters at least as tall as the character height asked for, and no
        // taller than a row.
        const auto* row = canvas.Find("Ask about the garden fence");
        ASSERT_NE(row, nullptr);
        EXPECT_GT(row->size.height, 8 + 1) << "readable";
        EXPECT_LE(row->size.height, view.RowHeight() - 4);
        for (const auto& d : canvas.drawn)
            EXPECT_LE(d.size.height, view.RowHeight()) << d.text;
    }
    {
        SendCommand(CMD_AS_CALENDAR);
        view.Calendar().gridStart.SetDate(30, 11, 2026);
        MeasuringCanvas canvas(dc);
        PaintOnBitmap(view, canvas);
        const auto* title = canvas.Find("December 2026");
        const auto* monday = canvas.Find("Mon");
        ASSERT_NE(title, nullptr);
        ASSERT_NE(monday, nullptr);
        EXPECT_LT(title->y + title->size.height, monday->y) << "the title clear of the day names";
        for (const CalendarCell& cell : view.Calendar().cells) {
            if (cell.w == 0) continue;
            for (const auto& d : canvas.drawn)
                if (d.x == cell.x + 8 && d.y == cell.y + 3) {
                    EXPECT_LE(d.x + d.size.width, cell.x + cell.w) << d.text;
                    EXPECT_LE(d.y + d.size.height, cell.y + view.RowHeight()) << d.text;
                }
        }
        SendCommand(CMD_AS_LIST);
    }
    dc.SelectObject(wxNullBitmap);
}

// The due column holds the widest date and time of every date format, and the agenda's
// headings and rows fit their rows.
TEST_F(GuiTest, DueTextsAndTheAgendaFitTheirCells) {
    VCollection& c = *Doc().Collection();
    auto* call = new VCall(&c);
    call->who = "the plumber";
    c.Add(call, c.root);
    VSchedule s;
    s.dueDay = LocalDay(QNow());
    s.dueMinute = 23 * 60 + 58;
    SetSchedule(c, call, s);
    CSkedraView& view = Frame().ItemView();
    wxBitmap bitmap(1244, 900);
    wxMemoryDC dc(bitmap);
    for (int format : {0, 1, 2}) {
        c.dateFormat = format;
        for (bool agenda : {false, true}) {
            SCOPED_TRACE(std::to_string(format) + (agenda ? " agenda" : " list"));
            view.SetViewType(0);
            if (agenda) view.ShowAgenda();
            MeasuringCanvas canvas(dc);
            PaintOnBitmap(view, canvas);
            const MeasuringCanvas::Drawn* due = nullptr;
            for (const auto& d : canvas.drawn)
                if (d.text.size() > 6 && d.text.substr(d.text.size() - 6) == " 23:58") due = &d;
            ASSERT_NE(due, nullptr);
            const VRect& row = call->rect;
            EXPECT_LE(due->x + due->size.width, row.x + row.width - 4) << due->text;
            EXPECT_LE(due->size.height, view.RowHeight()) << due->text;
            if (agenda) {
                const auto* heading = canvas.Find("Today");
                ASSERT_NE(heading, nullptr);
                EXPECT_LE(heading->y + heading->size.height,
                          view.Agenda().Rows()[0].rect.y + view.RowHeight() + 3);
            }
        }
    }
    view.SetViewType(0);
}

TEST_F(GuiTest, DemoDocumentAsAMonthCalendar) {
    ASSERT_TRUE(Frame().OpenDocumentFile(VANTRY_DEMO_DOCUMENT));
    Settle();
    CSkedraView& view = Frame().ItemView();
    SendCommand(CMD_AS_CALENDAR);
    view.Calendar().gridStart.SetDate(30, 11, 2026); // December 2026, where the demo's actions are
    view.needsRebuild = true;
    Frame().Ribbon()->SetActivePage((size_t)3); // "Calendar view"
    Frame().UpdateAllViews();
    EXPECT_TRUE(SaveFramePicture("demo-calendar.png"));
    EXPECT_FALSE(view.IsListMode());
    EXPECT_EQ(view.Calendar().weekRows, 5);
    EXPECT_GE(view.Calendar().actions.size(), 5u);
    SendCommand(CMD_NEXT_MONTH);
    EXPECT_STREQ(view.Calendar().gridStart.Format(2), "2026-12-28");
    SendCommand(CMD_AS_LIST);
    EXPECT_TRUE(view.IsListMode());
}

TEST_F(GuiTest, APrintedPageOfTheDemoDocument) {
    ASSERT_TRUE(Frame().OpenDocumentFile(VANTRY_DEMO_DOCUMENT));
    Settle();
    CSkedraView& view = Frame().ItemView();
    view.SetViewType(0);
    view.ganttStartDate.SetDate(23, 11, 2026);
    // A page of 8.5 x 11 inches at 100 dots per inch, drawn as the printer would get it.
    wxBitmap page(850, 1100);
    wxMemoryDC dc(page);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    ItemViewPrintout printout(view);
    printout.SetDC(&dc);
    printout.SetPageSizePixels(850, 1100);
    printout.SetPaperRectPixels(wxRect(0, 0, 850, 1100));
    printout.SetPPIPrinter(100, 100);
    printout.SetPPIScreen(100, 100);
    printout.OnPreparePrinting();
    int minPage, maxPage, from, to;
    printout.GetPageInfo(&minPage, &maxPage, &from, &to);
    EXPECT_EQ(minPage, 1);
    EXPECT_EQ(maxPage, view.PageCount());
    EXPECT_GE(view.PageCount(), 1);
    printout.OnBeginPrinting();
    EXPECT_TRUE(printout.HasPage(1));
    EXPECT_TRUE(printout.OnPrintPage(1));
    printout.OnEndPrinting();
    dc.SelectObject(wxNullBitmap);
    ASSERT_TRUE(
        page.SaveFile(std::string(VANTRY_SCREENSHOT_DIR) + "/print-page.png", wxBITMAP_TYPE_PNG));
    EXPECT_EQ(view.Scale(), 1.0f) << "screen metrics again after printing";
    Settle();
}

// Export HTML from the window asks where the page goes, in a file chooser; Cancel writes
// nothing, not even the export.htm that the command line writes.
TEST_F(GuiTest, ExportHtmlAsksWhereToSave) {
    TempDir dir; // the current folder, where the command line's export.htm goes
    std::vector<std::string> opened;
    QSetShellHandler([&](const char* target) {
        opened.push_back(target);
        return true;
    });
    ASSERT_TRUE(Frame().OpenDocumentFile(VANTRY_DEMO_DOCUMENT));
    Frame().ItemView().SetViewType(0);
    Frame().UpdateAllViews();
    Frame().ItemWindow()->Update(); // the view builds its chain when it paints
    Settle();
    // The chooser is answered through wx's modal hook: GTK's own dialog runs a loop of
    // its own that the test cannot reach into.
    wxTEST_DIALOG(SendCommand(CMD_EXPORT_HTML), wxExpectModal<wxFileDialog>("", wxID_CANCEL));
    EXPECT_FALSE(std::filesystem::exists(dir.File("export.htm")));
    EXPECT_TRUE(opened.empty());

    QSetShellHandler(nullptr);
    // Where a chosen name's page goes is the command's own rule, tested in the app tests
    // (GTK's chooser answers no name that it has not shown).
}

TEST_F(GuiTest, ScreenshotOfTheMainWindow) {
    VCollection& c = *Doc().Collection();
    auto* work = new VGroup(&c);
    work->name = "Work";
    c.Add(work, c.root);
    auto* todo = new VTodo(&c);
    todo->what = "Write the quarterly report";
    c.Add(todo, work);
    auto* home = new VGroup(&c);
    home->name = "Home";
    c.Add(home, c.root);
    Frame().DocumentChanged();
    Frame().Ribbon()->SetActivePage((size_t)1); // the filters
    EXPECT_TRUE(RowsLaidOut());
    EXPECT_TRUE(SaveFramePicture("main-window.png"));
}

// Every usable button of the ribbon shows a picture of its own in full colour, drawn from
// its SVG: none is a grey placeholder that looks disabled.
TEST_F(GuiTest, EveryRibbonButtonShowsItsPictureInColour) {
    std::set<int> looked; // a button on several pages: on the first one
    for (size_t p = 0; p < RibbonCategories().size(); ++p) {
        Frame().Ribbon()->SetActivePage(p);
        Settle();
        for (const RibbonPanel& panel : RibbonCategories()[p].panels)
            for (const RibbonElement& e : panel.elements) {
                // (Beside a field the buttons are the toolkit's own, with words only.)
                bool buttonBar = std::none_of(
                    panel.elements.begin(), panel.elements.end(), [](const RibbonElement& o) {
                        return o.kind == RibbonKind::ComboBox || o.kind == RibbonKind::Edit;
                    });
                if (!buttonBar || e.kind != RibbonKind::Button || !ShownEnabled(e.command) ||
                    !looked.insert(e.command).second)
                    continue;
                wxImage picture = RibbonButtonPicture(e.command);
                ASSERT_TRUE(picture.IsOk()) << e.caption;
                int coloured = 0;
                for (int y = 0; y < picture.GetHeight(); ++y)
                    for (int x = 0; x < picture.GetWidth(); ++x) {
                        int r = picture.GetRed(x, y), g = picture.GetGreen(x, y),
                            b = picture.GetBlue(x, y);
                        coloured += std::max({r, g, b}) - std::min({r, g, b}) >= 100;
                    }
                EXPECT_GE(coloured, 8) << "'" << e.caption << "' shows a picture in colour";
            }
    }
    EXPECT_GE(looked.size(), 25u);
    Frame().Ribbon()->SetActivePage((size_t)1);
    EXPECT_TRUE(SaveFramePicture("ribbon-icons.png"));
}

// The names of the rows the item view shows, after a paint.
std::vector<std::string> RowNames() {
    CSkedraView& view = Frame().ItemView();
    view.needsRebuild = true;
    EXPECT_TRUE(PaintedUntil(*Frame().ItemWindow(), [&] { return !view.needsRebuild; }));
    std::vector<std::string> names;
    for (int i = 0; i < view.RowCount(); ++i)
        names.push_back(view.RowItem(i)->name.Text());
    return names;
}

bool Shows(const std::vector<std::string>& rows, const std::string& name) {
    return std::find(rows.begin(), rows.end(), name) != rows.end();
}

TEST_F(GuiTest, ADeletedRowComesBackWithCtrlZAndGoesAgainWithCtrlY) {
    TempDir dir;
    std::string path = dir.File("undo.vnt");
    {
        VCollection saved;
        auto* w = new VGroup(&saved);
        w->name = "Work";
        saved.Add(w, saved.root);
        for (const char* name : {"Write the report", "Call the bank"}) {
            auto* t = new VTodo(&saved);
            t->name = name;
            t->what = name;
            saved.Add(t, w);
        }
        ASSERT_TRUE(saved.Save(path.c_str()));
    }
    ASSERT_TRUE(Frame().OpenDocumentFile(path));
    Settle();
    CSkedraView& view = Frame().ItemView();
    view.SetViewType(0);
    std::vector<std::string> rows = RowNames();
    ASSERT_TRUE(Shows(rows, "Write the report"));
    wxWindow* undoButton = wxWindow::FindWindowById(WxIdOf(CMD_UNDO), &Frame());
    ASSERT_NE(undoButton, nullptr) << "a quick-access button";
    Frame().UpdateWindowUI(wxUPDATE_UI_RECURSE);
    EXPECT_FALSE(undoButton->IsEnabled()) << "nothing to undo yet";

    // The Delete key on the selected row, the question answered with Yes.
    for (int i = 0; i < view.RowCount(); ++i)
        if (!std::strcmp(view.RowItem(i)->name.Text(), "Write the report")) view.SelectRow(i);
    ASSERT_NE(Doc().Collection()->Selected(), nullptr);
    ScriptedUI boxes;
    boxes.answers = {MsgAnswer::Yes};
    ASSERT_TRUE(GiveFocus(Frame().ItemWindow()));
    ASSERT_TRUE(UserDoes("xdotool key --clearmodifiers Delete\n"));
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].caption, "Delete items");
    rows = RowNames();
    EXPECT_FALSE(Shows(rows, "Write the report"));
    EXPECT_TRUE(Frame().GetTitle().EndsWith(" *")) << Frame().GetTitle();
    Frame().UpdateWindowUI(wxUPDATE_UI_RECURSE);
    EXPECT_TRUE(undoButton->IsEnabled());
    EXPECT_EQ(undoButton->GetToolTipText(), "Undo Delete");
    Frame().FileMenu()->UpdateUI(Frame().GetEventHandler());
    EXPECT_EQ(Frame().FileMenu()->FindItem(WxIdOf(CMD_UNDO))->GetItemLabelText(), "Undo Delete");
    EXPECT_FALSE(Frame().FileMenu()->FindItem(WxIdOf(CMD_REDO))->IsEnabled());

    // In the filter box the key is the field's own.
    Frame().Ribbon()->SetActivePage((size_t)1); // "Items", where the filter box is
    ASSERT_TRUE(GiveFocus(Frame().FilterTextEdit()));
    ASSERT_TRUE(UserDoes("xdotool key --clearmodifiers x\n"));
    EXPECT_EQ(Frame().FilterTextEdit()->GetValue(), "x") << "the keys reach the filter box";
    ASSERT_TRUE(UserDoes("xdotool key --clearmodifiers ctrl+z\n"));
    EXPECT_FALSE(Shows(RowNames(), "Write the report")) << "the filter box had the key";
    SendCommand(CMD_CLEAR_FILTER); // the letter also filtered the list as it was typed

    ASSERT_TRUE(GiveFocus(Frame().ItemWindow()));
    ASSERT_TRUE(UserDoes("xdotool key --clearmodifiers ctrl+z\n"));
    rows = RowNames();
    EXPECT_TRUE(Shows(rows, "Write the report")) << "the row is back";
    EXPECT_TRUE(Doc().Collection()->Selected() &&
                !std::strcmp(Doc().Collection()->Selected()->name.Text(), "Write the report"))
        << "and selected";
    EXPECT_FALSE(Frame().GetTitle().EndsWith(" *")) << "as opened: " << Frame().GetTitle();
    EXPECT_TRUE(SaveFramePicture("undo-delete-restored.png"));
    Frame().UpdateWindowUI(wxUPDATE_UI_RECURSE);
    auto* redoButton = wxWindow::FindWindowById(WxIdOf(CMD_REDO), &Frame());
    ASSERT_NE(redoButton, nullptr);
    EXPECT_EQ(redoButton->GetToolTipText(), "Redo Delete");
    EXPECT_FALSE(undoButton->IsEnabled());

    ASSERT_TRUE(UserDoes("xdotool key --clearmodifiers ctrl+y\n"));
    EXPECT_FALSE(Shows(RowNames(), "Write the report")) << "gone again";
    EXPECT_TRUE(Shows(RowNames(), "Call the bank"));
    ASSERT_TRUE(UserDoes("xdotool key --clearmodifiers ctrl+shift+z\n")); // nothing left to redo
    EXPECT_FALSE(Shows(RowNames(), "Write the report"));
    ASSERT_TRUE(UserDoes("xdotool key --clearmodifiers ctrl+z\n"));
    EXPECT_TRUE(Shows(RowNames(), "Write the report"));
    ASSERT_TRUE(UserDoes("xdotool key --clearmodifiers ctrl+shift+z\n"));
    EXPECT_FALSE(Shows(RowNames(), "Write the report"));
}

// F1, as the empty document's hint says, opens the guide shipped with the program in its
// own help window, at its first page, without the network.
TEST_F(GuiTest, F1OpensTheUserGuideAtItsFirstPage) {
    std::vector<std::string> opened;
    QSetShellHandler([&](const char* url) {
        opened.push_back(url);
        return false;
    });
    ASSERT_TRUE(GiveFocus(Frame().ItemWindow()));
    ASSERT_TRUE(UserDoes("xdotool key --clearmodifiers F1\n"));
    wxFrame* window = nullptr;
    SettleUntil([&] {
        if (wxHtmlHelpController* help = Frame().HelpController())
            if (help->GetFrame() && help->GetFrame()->IsShownOnScreen()) window = help->GetFrame();
        return window != nullptr;
    });
    QSetShellHandler(nullptr);
    ASSERT_NE(window, nullptr) << "no help window";
    EXPECT_TRUE(opened.empty()) << "the guide needs no browser";
    wxHtmlWindow* page = Frame().HelpController()->GetHelpWindow()->GetHtmlWindow();
    EXPECT_TRUE(page->GetOpenedPage().EndsWith("index.html")) << page->GetOpenedPage();
    EXPECT_EQ(page->GetOpenedPageTitle(), "Getting started");
    EXPECT_TRUE(page->ToText().Contains("Your first document"));
    window->SetSize(900, 650);
    EXPECT_TRUE(SaveWindowPicture(*window, "help-window.png"));
    window->Close();
    Settle();
}

TEST_F(GuiTest, TheFileMenuShowsTheKeysOfItsCommands) {
    struct Entry {
        int command;
        const char* key;
    } entries[] = {{CMD_FILE_NEW, "Ctrl+N"},
                   {CMD_FILE_OPEN, "Ctrl+O"},
                   {CMD_FILE_SAVE, "Ctrl+S"},
                   {CMD_UNDO, "Ctrl+Z"},
                   {CMD_REDO, "Ctrl+Y"}};
    for (const Entry& e : entries) {
        wxMenuItem* item = Frame().FileMenu()->FindItem(WxIdOf(e.command));
        ASSERT_NE(item, nullptr) << e.key;
        EXPECT_TRUE(item->GetItemLabel().EndsWith(wxString("\t") + e.key)) << item->GetItemLabel();
    }
    EXPECT_FALSE(
        Frame().FileMenu()->FindItem(WxIdOf(CMD_FILE_SAVE_AS))->GetItemLabel().Contains("\t"));

    // The menu as the user opens it from the File button, pictured with its keys.
    wxWindow* fileButton = wxWindow::FindWindowByLabel("File", &Frame());
    ASSERT_NE(fileButton, nullptr);
    MenuWatcher menu(*fileButton, "file-menu-keys.png");
    ASSERT_TRUE(UserDoes(ClickAt(CentreOnScreen(*fileButton)) +
                             "until_program menu_pictured\nxdotool key Escape\n",
                         menu.Conditions()));
    EXPECT_TRUE(menu.pictured);
}

// Ctrl+F gives the keyboard to the filter; the list narrows as the user types, without
// Enter, and Escape brings every row back.
TEST_F(GuiTest, TheFilterNarrowsTheListAsTheUserTypes) {
    ASSERT_TRUE(Frame().OpenDocumentFile(VANTRY_DEMO_DOCUMENT));
    Settle();
    Frame().ItemView().SetViewType(0);
    std::vector<std::string> all = RowNames();
    ASSERT_GT(all.size(), 2u);
    std::string word = all.back().substr(0, std::min<size_t>(all.back().size(), 6));
    ASSERT_TRUE(GiveFocus(Frame().ItemWindow()));
    ASSERT_TRUE(UserDoes("xdotool key --clearmodifiers ctrl+f\n"));
    SettleUntil([] { return wxWindow::FindFocus() == Frame().FilterTextEdit(); });
    ASSERT_EQ(wxWindow::FindFocus(), Frame().FilterTextEdit());
    // The letters arrive one by one, typed, and nothing presses Enter.
    ASSERT_TRUE(UserDoes("xdotool type --delay 60 '" + word + "'\n"));
    std::vector<std::string> rows = all;
    SettleUntil([&] { return (rows = RowNames()).size() != all.size(); });
    EXPECT_LT(rows.size(), all.size()) << "the list did not narrow for '" << word << "'";
    EXPECT_TRUE(Shows(rows, all.back()));
    EXPECT_EQ(Frame().FilterTextEdit()->GetValue(), wxString::FromUTF8(word));

    ASSERT_TRUE(UserDoes("xdotool key --clearmodifiers Escape\n"));
    SettleUntil([&] { return (rows = RowNames()).size() == all.size(); });
    EXPECT_EQ(rows, all);
    EXPECT_EQ(Frame().FilterTextEdit()->GetValue(), "");
}

// The item view as a picture, as the screen shows it.
wxImage ItemViewPicture(const std::string& name) {
    Frame().Raise();
    CSkedraView& view = Frame().ItemView();
    view.needsRebuild = true;
    EXPECT_TRUE(SaveWindowPicture(*Frame().ItemWindow(), name));
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    return wxImage(wxString(VANTRY_SCREENSHOT_DIR) + "/" + wxString(name), wxBITMAP_TYPE_PNG);
}

Colour PixelAt(const wxImage& image, int x, int y) {
    return {image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)};
}

// What a row's text looks like on the picture: the row's background (its most common
// colour), the colour standing out most from it, and the rows of pixels holding that ink.
struct RowInk {
    Colour background, ink;
    int inkTop = -1, inkBottom = -1; // picture rows holding text, inside the row's band
};

RowInk MeasureBox(const wxImage& image, int left, int top, int right, int bottom) {
    std::map<unsigned long, int> counts;
    left = std::max(0, left);
    top = std::max(0, top);
    bottom = std::min(image.GetHeight(), bottom);
    right = std::min(right, image.GetWidth());
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            Colour c = PixelAt(image, x, y);
            ++counts[(unsigned long)c.r << 16 | c.g << 8 | c.b];
        }
    RowInk row;
    if (counts.empty()) return row;
    unsigned long most = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                             return a.second < b.second;
                         })->first;
    row.background = {(std::uint8_t)(most >> 16), (std::uint8_t)(most >> 8), (std::uint8_t)most};
    double best = 1;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            double contrast = ContrastRatio(PixelAt(image, x, y), row.background);
            if (contrast > best) best = contrast, row.ink = PixelAt(image, x, y);
            if (contrast > 2) {
                if (row.inkTop < 0) row.inkTop = y;
                row.inkBottom = y;
            }
        }
    return row;
}

RowInk MeasureRow(const wxImage& image, const VNode& item, int left, int right) {
    return MeasureBox(image, left, item.rect.y, right, item.rect.y + item.rect.height);
}

// The text column of the rows: right of the indentation and icons, left of the row's end.
constexpr int TEXT_LEFT_AT_100 = 60, TEXT_RIGHT_AT_100 = 420;

// Ctrl+plus, Ctrl+minus and Ctrl+0 size the list; at 200 % every row is twice as high
// and its text, twice as large, still lies inside it.
TEST_F(GuiTest, ZoomDoublesTheRowsAndTheirText) {
    ASSERT_TRUE(Frame().OpenDocumentFile(VANTRY_DEMO_DOCUMENT));
    Settle();
    CSkedraView& view = Frame().ItemView();
    view.SetViewType(0);
    SendCommand(CMD_ZOOM_RESET);
    RowNames();
    ASSERT_GE(view.RowCount(), 5);
    EXPECT_EQ(view.RowHeight(), 20) << "100 % on a 96-dpi screen is the size it always was";
    wxImage normal = ItemViewPicture("list-zoom-100.png");
    RowInk small = MeasureRow(normal, *view.RowItem(2), TEXT_LEFT_AT_100, TEXT_RIGHT_AT_100);

    ASSERT_TRUE(GiveFocus(Frame().ItemWindow()));
    ASSERT_TRUE(UserDoes("xdotool key --clearmodifiers ctrl+equal\n"));
    EXPECT_EQ(view.zoomPercent, 110);
    ASSERT_TRUE(UserDoes("xdotool key --clearmodifiers ctrl+minus ctrl+minus\n"));
    EXPECT_EQ(view.zoomPercent, 90);
    ASSERT_TRUE(UserDoes("xdotool key --clearmodifiers ctrl+0\n"));
    EXPECT_EQ(view.zoomPercent, 100);
    ASSERT_TRUE(UserDoes("xdotool key --clearmodifiers ctrl+equal ctrl+equal ctrl+equal "
                         "ctrl+equal ctrl+equal\n"));
    EXPECT_EQ(view.zoomPercent, 200);
    RowNames();
    EXPECT_EQ(view.RowHeight(), 40);
    EXPECT_EQ(view.RowItem(3)->rect.y - view.RowItem(2)->rect.y, 40);
    wxImage large = ItemViewPicture("list-zoom-200.png");
    RowInk big = MeasureRow(large, *view.RowItem(2), 2 * TEXT_LEFT_AT_100, 2 * TEXT_RIGHT_AT_100);
    ASSERT_GE(small.inkTop, 0);
    ASSERT_GE(big.inkTop, 0);
    const VNode& row = *view.RowItem(2);
    EXPECT_GT(big.inkTop, row.rect.y) << "the text starts inside its row";
    EXPECT_LT(big.inkBottom, row.rect.y + row.rect.height - 1) << "and ends inside it";
    double growth = double(big.inkBottom - big.inkTop + 1) / (small.inkBottom - small.inkTop + 1);
    EXPECT_GT(growth, 1.6) << "the text grew with the rows";
    EXPECT_LT(growth, 2.5);
    EXPECT_EQ(Doc().GetGlobalInt("zoom", 0), 200) << "kept in the settings";
    SendCommand(CMD_ZOOM_RESET);
}

// Under a dark desktop theme every row of the list stays legible: its text and its
// background, measured on the picture, differ at least 4.5:1, and a state's faint colour
// at least as much as it must on its own row. Runs as its own test with
// GTK_THEME=Adwaita:dark (CTest's gui_dark_theme).
TEST_F(GuiTest, DarkThemeKeepsEveryRowLegible) {
    const char* theme = std::getenv("GTK_THEME");
    if (!theme || !std::strstr(theme, "dark")) GTEST_SKIP() << "runs under GTK_THEME=Adwaita:dark";
    ASSERT_TRUE(Frame().OpenDocumentFile(VANTRY_DEMO_DOCUMENT));
    Settle();
    CSkedraView& view = Frame().ItemView();
    view.SetViewType(0);
    Choose(Frame().StateFilterBox(), 5); // every item, finished and inactive ones too
    RowNames();
    ASSERT_GE(view.RowCount(), 10);
    SaveScreenPicture("dark-theme.png");
    wxImage picture = ItemViewPicture("dark-theme-list.png");
    // Where each text lies: the same paint once more, on a canvas that notes its texts.
    wxSize size = Frame().ItemWindow()->GetClientSize();
    wxBitmap scratch(size);
    wxMemoryDC scratchDc(scratch);
    MeasuringCanvas texts(scratchDc);
    view.needsRebuild = true;
    view.OnDraw(texts, {0, 0, size.x, size.y});
    int measured = 0;
    for (const MeasuringCanvas::Drawn& d : texts.drawn) {
        if (d.y + d.size.height > picture.GetHeight() || d.text.empty()) continue;
        RowInk box = MeasureBox(picture, d.x, d.y, d.x + d.size.width, d.y + d.size.height);
        double contrast = ContrastRatio(box.ink, box.background);
        // The states' own colours (overdue red, finished and inactive grey) are meant to look
        // faint on their rows; every other text reads as the accessibility guidelines ask.
        bool stateColour = d.colour == RowColour::URGENT_RED ||
                           d.colour == RowColour::DONE_GREY || d.colour == RowColour::INACTIVE_GREY;
        double least = stateColour ? STATE_TEXT_CONTRAST : READABLE_CONTRAST;
        // Thin strokes are smoothed: a text's darkest pixel falls a little short of its colour.
        EXPECT_GE(contrast, 0.9 * least) << "'" << d.text << "' at y " << d.y;
        ++measured;
    }
    EXPECT_GE(measured, 10);
    Choose(Frame().StateFilterBox(), 0);
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("VANTRY_NO_SPLASH", "1", 1);
    // The program registers its document type in the user's data folder: keep that in a
    // folder of the test's own.
    TempDir home;
    setenv("XDG_DATA_HOME", home.Path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", home.Path().c_str(), 1);
    std::filesystem::remove(std::string(VANTRY_SCREENSHOT_DIR) + "/vantry.ini");
    wxApp::SetInstance(new CSkedraApp);
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    if (!wxEntryStart(wxArgc, wxArgv) || !wxTheApp->CallOnInit()) return 2;
    // No test may wait on a real modal box: tests that expect one script it.
    CurrentUI() = nullptr;
    // The window manager maximises the new window a moment later: points on the screen are
    // taken once it has, or the first test's pointer lands where the window was.
    if (!SettleUntil([] { return Frame().IsMaximized() && Frame().IsActive(); })) return 2;
    Settle();
    int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
