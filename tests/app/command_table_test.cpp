// The command table run headless: commands against a scripted document and the item
// view of the windowless program, with what they answer for enabled and ticked.
#include "app/commands/command_table.h"

#include "app/commands/command_ui.h"
#include "app/ribbon_layout.h"
#include "foundation/qshell.h"
#include "platform/command_ids.h"
#include "support/log_capture.h"
#include "support/recording_host.h"
#include "support/scripted_document.h"
#include "support/scripted_ui.h"
#include "support/windowless_commands.h"
#include "views/view_flags.h"

#include <filesystem>
#include <gmock/gmock.h>

namespace {

class CommandTableTest : public WindowlessCommands<ScriptedDocument> {};

TEST_F(CommandTableTest, ShowGanttChartTogglesTheFlagWithOneViewFlagChange) {
    view->viewFlags = VIEW_UNDONE | VIEW_WAITING;
    EXPECT_TRUE(CommandEnabled(CMD_SHOW_GANTT, context));
    EXPECT_TRUE(CommandHasTick(CMD_SHOW_GANTT));
    EXPECT_FALSE(CommandChecked(CMD_SHOW_GANTT, context));

    EXPECT_EQ(Run(CMD_SHOW_GANTT), CHANGED_VIEW | CHANGED_SETTINGS);
    EXPECT_EQ(view->viewFlags, VIEW_UNDONE | VIEW_WAITING | VIEW_GANTT);
    EXPECT_EQ(doc->viewFlagsChanged, 1);
    EXPECT_EQ(doc->itemsChanged + doc->activityChanged, 0) << "nothing else is refreshed";
    EXPECT_TRUE(CommandChecked(CMD_SHOW_GANTT, context));

    Run(CMD_SHOW_GANTT);
    EXPECT_EQ(view->viewFlags, VIEW_UNDONE | VIEW_WAITING);
    EXPECT_EQ(doc->viewFlagsChanged, 2);
    EXPECT_FALSE(CommandChecked(CMD_SHOW_GANTT, context));
}

// Each check box of the ribbon toggles the view flag it shows, and is ticked by it.
TEST_F(CommandTableTest, EveryRibbonCheckBoxTogglesAndShowsItsFlag) {
    int boxes = 0;
    for (const RibbonCategory& category : RibbonCategories())
        for (const RibbonPanel& panel : category.panels)
            for (const RibbonElement& e : panel.elements) {
                if (e.kind != RibbonKind::CheckBox) continue;
                ++boxes;
                SCOPED_TRACE(e.caption);
                view->viewFlags = VIEW_UNDONE;
                EXPECT_FALSE(CommandChecked(e.command, context));
                Run(e.command);
                EXPECT_EQ(view->viewFlags, VIEW_UNDONE | e.viewFlag);
                EXPECT_TRUE(CommandChecked(e.command, context));
            }
    EXPECT_EQ(boxes, 4);
    EXPECT_EQ(doc->viewFlagsChanged, 4);
}

TEST_F(CommandTableTest, WithoutTheirPartOfTheContextCommandsAreNotOffered) {
    CommandContext empty;
    for (int command : {CMD_SHOW_GANTT, CMD_AS_LIST, CMD_NEXT_WEEK, CMD_MORE_WEEKS,
                        CMD_STATE_FILTER, CMD_ABOUT, CMD_EXIT, CMD_EXPORT_HTML}) {
        EXPECT_FALSE(CommandEnabled(command, empty)) << command;
        unsigned changed = 99;
        EXPECT_FALSE(RunCommand(command, empty, &changed)) << command;
        EXPECT_EQ(changed, CHANGED_NOTHING);
        EXPECT_FALSE(CommandChecked(command, empty));
    }
    EXPECT_FALSE(CommandEnabled(CMD_MORE_WEEKS, context)) << "needs the document too";
    EXPECT_EQ(FindCommand(4711), nullptr);
    EXPECT_FALSE(CommandEnabled(4711, context));
    EXPECT_FALSE(CommandHasTick(CMD_AS_LIST));
    EXPECT_TRUE(CommandEnabled(CMD_VISIT_VANTRY, empty)) << "web pages need nothing";
}

TEST_F(CommandTableTest, ViewTypeAndWeekSteps) {
    Run(CMD_AS_LIST);
    EXPECT_EQ(view->viewType, 0);
    EXPECT_EQ(doc->settings["view_type"], 0);
    QDate start = view->ganttStartDate;
    EXPECT_EQ(Run(CMD_NEXT_WEEK), CHANGED_VIEW);
    EXPECT_EQ(start.DaysBetween(view->ganttStartDate), 7);
    Run(CMD_PREVIOUS_WEEK);
    Run(CMD_PREVIOUS_WEEK);
    EXPECT_EQ(start.DaysBetween(view->ganttStartDate), -7);

    // The agenda shows instead of either, and any view type ends it.
    EXPECT_EQ(Run(CMD_AS_AGENDA), CHANGED_VIEW | CHANGED_SETTINGS);
    EXPECT_TRUE(view->IsAgendaMode());
    EXPECT_FALSE(view->IsListMode());
    EXPECT_EQ(doc->settings["view_agenda"], 1);
    EXPECT_EQ(view->viewType, 0) << "the list's type stays for later";
    Run(CMD_AS_CALENDAR);
    EXPECT_EQ(view->viewType, 1);
    EXPECT_EQ(doc->settings["view_type"], 1);
    EXPECT_FALSE(view->IsAgendaMode());
    EXPECT_EQ(doc->settings["view_agenda"], 0);
    Run(CMD_GOTO_TODAY);
    QDate today = view->Calendar().gridStart;
    Run(CMD_NEXT_WEEK); // in the calendar: the month before
    EXPECT_LT(view->Calendar().gridStart.Seconds(), today.Seconds());
    Run(CMD_NEXT_MONTH);
    EXPECT_EQ(view->Calendar().gridStart.Seconds(), today.Seconds());
    EXPECT_EQ(start.DaysBetween(view->ganttStartDate), -7) << "the chart stays";
    EXPECT_EQ(doc->viewFlagsChanged, 0);
}

// A view chosen on the ribbon takes the keyboard at once. The agenda has no week to
// step: the week commands (the page keys' accelerators) are not offered there, so the
// page keys reach the view and move through its rows.
TEST_F(CommandTableTest, AChosenViewTakesTheKeysAndTheAgendaHasNoWeeks) {
    for (int command : {CMD_AS_LIST, CMD_AS_CALENDAR, CMD_AS_AGENDA}) {
        ui.calls.clear();
        Run(command);
        EXPECT_EQ(ui.calls, std::vector<std::string>{"focus items"}) << command;
    }
    EXPECT_FALSE(CommandEnabled(CMD_NEXT_WEEK, context));
    EXPECT_FALSE(CommandEnabled(CMD_PREVIOUS_WEEK, context));
    EXPECT_TRUE(CommandEnabled(CMD_NEXT_MONTH, context));
    Run(CMD_AS_LIST);
    EXPECT_TRUE(CommandEnabled(CMD_NEXT_WEEK, context));
    Run(CMD_AS_CALENDAR);
    EXPECT_TRUE(CommandEnabled(CMD_PREVIOUS_WEEK, context));
}

TEST_F(CommandTableTest, ProgramCommandsAskTheWindow) {
    for (int command : {CMD_ABOUT, CMD_NEXT_PANE, CMD_PREVIOUS_PANE, CMD_PRINT_SETUP,
                        CMD_PRINT_DIRECT, CMD_REMOTE_VIEW, CMD_EXIT})
        EXPECT_EQ(Run(command), CHANGED_NOTHING);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"about", "pane", "pane", "print setup", "print",
                                                  "remote view", "exit"}));
}

TEST_F(CommandTableTest, TheHelpKeyOpensTheGuideAndTheWebCommandsReportInTheirOwnWords) {
    ScriptedUI boxes;
    std::vector<std::string> opened;
    QSetShellHandler([&](const char* url) {
        opened.push_back(url);
        return false;
    });
    // F1 and "Getting started" stay offline: the guide in the program's help window.
    Run(CMD_HELP_KEY);
    Run(CMD_GETTING_STARTED);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"guide", "guide"}));
    EXPECT_TRUE(opened.empty());
    Run(CMD_HELP);
    Run(CMD_VISIT_NIMBREL);
    QSetShellHandler(nullptr);
    ASSERT_EQ(boxes.asked.size(), 2u);
    EXPECT_EQ(boxes.asked[0].text,
              "Can't start website (https://vantry.app/index.php?jump=vantry/documentation.htm)");
    EXPECT_EQ(opened.back(), "https://nimbrel.app/");
}

// The filter controls through the table, on the program's document.
class FilterCommandTest : public WindowlessCommands<CSkedraDoc> {};

TEST_F(FilterCommandTest, CtrlFGivesTheKeyboardToTheFilter) {
    EXPECT_TRUE(RunCommand(CMD_FOCUS_FILTER, context));
    EXPECT_EQ(ui.calls, std::vector<std::string>{"focus filter"});
    EXPECT_EQ(CommandKeyText(CMD_FOCUS_FILTER), "Ctrl+F");
}

// A menu shows the first of a command's keys, written from its row.
TEST(CommandKeyText, TheFirstKeyOfTheRowAsMenusWriteIt) {
    struct Case {
        int command;
        const char* text;
    } cases[] = {{CMD_FILE_SAVE, "Ctrl+S"},  {CMD_UNDO, "Ctrl+Z"},
                 {CMD_ZOOM_IN, "Ctrl++"},    {CMD_ZOOM_OUT, "Ctrl+-"},
                 {CMD_ZOOM_RESET, "Ctrl+0"}, {CMD_PREVIOUS_PANE, "Shift+F6"},
                 {CMD_HELP_KEY, "F1"},       {CMD_FILE_SAVE_AS, ""}};
    for (const Case& c : cases)
        EXPECT_EQ(CommandKeyText(c.command), c.text) << c.command;
}

// From the window, Export HTML writes where the user chose and offers that folder next
// time; Cancel writes nothing.
TEST_F(FilterCommandTest, ExportAsksWhereAndRemembersTheFolder) {
    std::filesystem::create_directories(dir.File("pages"));
    std::vector<std::string> opened;
    QSetShellHandler([&](const char* target) {
        opened.push_back(target);
        return true;
    });
    ui.exportAnswer = "";
    EXPECT_TRUE(RunCommand(CMD_EXPORT_HTML, context));
    EXPECT_FALSE(std::filesystem::exists(dir.File("export.htm")));

    ui.exportAnswer = dir.File("pages/agenda.htm");
    unsigned changed = 0;
    EXPECT_TRUE(RunCommand(CMD_EXPORT_HTML, context, &changed));
    EXPECT_NE(changed & CHANGED_SETTINGS, 0u);
    EXPECT_THAT(ReadWholeFile(dir.File("pages/agenda.htm")), ::testing::StartsWith("<html>"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("export.htm")));

    ui.exportAnswer = "";
    RunCommand(CMD_EXPORT_HTML, context);
    QSetShellHandler(nullptr);
    EXPECT_EQ(opened.size(), 1u) << "the written page is shown";
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"choose  export.htm", "choose  export.htm",
                                                  "choose " + dir.File("pages") + " export.htm"}));
}

TEST_F(FilterCommandTest, ControlsHandTheirValueThroughTheContext) {
    context.choice = 3; // "only finished items"
    EXPECT_TRUE(RunCommand(CMD_STATE_FILTER, context));
    EXPECT_EQ(view->viewFlags & 0x312, VIEW_DONE);
    EXPECT_EQ(doc->Collection()->filterFlags & 15, 2u);

    context.text = "abc";
    EXPECT_TRUE(RunCommand(CMD_TEXT_FILTER, context));
    EXPECT_STREQ(doc->Collection()->filterText.Text(), "ABC");
    EXPECT_TRUE(RunCommand(CMD_CLEAR_FILTER, context));
    EXPECT_STREQ(doc->Collection()->filterText.Text(), "");
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"clear text"}));

    context.choice = 1;
    EXPECT_TRUE(RunCommand(CMD_SORT, context));
    EXPECT_EQ(doc->Collection()->sortMode, 1);

    int days = view->ganttDaysInView;
    unsigned changed = 0;
    EXPECT_TRUE(RunCommand(CMD_MORE_WEEKS, context, &changed));
    EXPECT_EQ(view->ganttDaysInView, days + 7);
    EXPECT_TRUE(changed & CHANGED_SETTINGS);
    EXPECT_TRUE(host.modified);

    int refills = host.refills;
    EXPECT_TRUE(RunCommand(CMD_REFILL_TREE, context));
    EXPECT_EQ(host.refills, refills + 1);
}

} // namespace
