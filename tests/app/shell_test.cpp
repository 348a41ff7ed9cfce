// The parts of the application shell that need no window: the ribbon as data, the web
// pages, and the desktop's knowledge of the document type.
#include "app/desktop_entry.h"
#include "app/ribbon_layout.h"
#include "app/web_pages.h"
#include "foundation/qshell.h"
#include "platform/command_ids.h"
#include "support/log_capture.h"
#include "support/scripted_ui.h"

#include <filesystem>
#include <gmock/gmock.h>

using ::testing::HasSubstr;

namespace {

class ShellTest : public LogTest {
  protected:
    void TearDown() override {
        QSetShellHandler(nullptr);
        LogTest::TearDown();
    }
};

const RibbonElement* Find(int command, std::string* where = nullptr) {
    for (const RibbonCategory& c : RibbonCategories())
        for (const RibbonPanel& p : c.panels)
            for (const RibbonElement& e : p.elements)
                if (e.command == command) {
                    if (where) *where = c.caption + " / " + p.caption;
                    return &e;
                }
    return nullptr;
}

TEST_F(ShellTest, RibbonCategoriesPanelsAndElementsInOrder) {
    std::vector<std::string> layout;
    int elements = 0;
    for (const RibbonCategory& c : RibbonCategories()) {
        std::string line = c.caption + ":";
        for (const RibbonPanel& p : c.panels) {
            line += " [" + p.caption + "]";
            elements += (int)p.elements.size();
        }
        layout.push_back(line);
    }
    EXPECT_EQ(
        layout,
        (std::vector<std::string>{
            "Global: [View] [Tools] [Help]",
            "Items: [Clipboard] [Add new item in current folder] [Quickly filtering displayed "
            "items] [Contact-related viewing]",
            "List view: [View] [Gantt chart] [Gantt headers]",
            "Calendar view: [View] [Navigate] [Help]",
        }));
    EXPECT_EQ(elements, 48) << "with Agenda in the three View panels";

    struct Case {
        int command;
        const char* caption;
        RibbonKind kind;
        const char* where;
    } cases[] = {
        {32950, "Agenda", RibbonKind::Button, "Global / View"},
        {32884, "Export HTML", RibbonKind::Button, "Global / Tools"},
        {32920, "Remote view", RibbonKind::Button, "Global / Tools"},
        {32833, "Visit Nimbrel website", RibbonKind::Button, "Global / Help"},
        {32799, "Edit...", RibbonKind::Button, "Items / Clipboard"},
        {32883, "Payment", RibbonKind::Button, "Items / Add new item in current folder"},
        {32854, "Filter by text", RibbonKind::Edit, "Items / Quickly filtering displayed items"},
        {32801, "Hide other items", RibbonKind::CheckBox, "Items / Contact-related viewing"},
        {32864, "Show Gantt chart", RibbonKind::CheckBox, "List view / Gantt chart"},
        {32778, "Next week (PageDn)", RibbonKind::ButtonWithoutIcon, "List view / Gantt headers"},
        {32932, "Next month (PageUp)", RibbonKind::Button, "Calendar view / Navigate"},
        {32789, "Getting started with the calendar", RibbonKind::Button, "Calendar view / Help"},
    };
    for (const Case& c : cases) {
        std::string where;
        const RibbonElement* e = Find(c.command, &where);
        ASSERT_NE(e, nullptr) << c.caption;
        EXPECT_EQ(e->caption, c.caption);
        EXPECT_EQ(e->kind, c.kind) << c.caption;
        EXPECT_EQ(where, c.where) << c.caption;
    }
    const RibbonElement* show = Find(CMD_STATE_FILTER);
    EXPECT_EQ(show->caption, "Show ");
    EXPECT_EQ(show->width, 160);
    EXPECT_EQ(show->entries.size(), 6u);
    EXPECT_EQ(show->selected, 0);
    const RibbonElement* contacts = Find(CMD_CONTACT_FILTER);
    EXPECT_EQ(contacts->caption, "Hilite items of ");
    EXPECT_EQ(contacts->dropDownHeight, 500);
    const RibbonElement* sort = Find(CMD_SORT);
    EXPECT_EQ(sort->width, 185);
    EXPECT_EQ(sort->entries, (std::vector<std::string>{"logically (default)", "by contact name"}));
    EXPECT_EQ(Find(CMD_TEXT_FILTER)->width, 140);
    EXPECT_EQ(Find(CMD_SHOW_PROGRESS)->viewFlag, 0x080u);
}

TEST_F(ShellTest, ApplicationMenuQuickAccessAndKeys) {
    std::vector<std::string> captions;
    for (const MenuEntry& e : ApplicationMenu())
        captions.push_back(e.caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"New", "Open", "Save", "Save As", "Print",
                                                  "Export", "Import", "Sync", "", "Undo", "Redo",
                                                  "", "Close", "Recent documents", "Exit"}));
    const MenuEntry& sync = ApplicationMenu()[7];
    ASSERT_EQ(sync.submenu.size(), 2u);
    EXPECT_EQ(sync.submenu[0].caption, "Account...");
    EXPECT_EQ(sync.submenu[0].command, CMD_SYNC_ACCOUNT);
    EXPECT_EQ(sync.submenu[1].caption, "Sync now");
    EXPECT_EQ(sync.submenu[1].command, CMD_SYNC_NOW);
    const MenuEntry& print = ApplicationMenu()[4];
    ASSERT_EQ(print.submenu.size(), 3u);
    EXPECT_EQ(print.submenu[1].caption, "Print Preview");
    EXPECT_EQ(print.submenu[1].command, 57609);
    EXPECT_EQ(print.command, 57607) << "Print itself prints";
    for (const MenuEntry& e : print.submenu)
        EXPECT_FALSE(e.description.empty()) << e.caption << " shows its description";
    EXPECT_EQ(QuickAccessCommands(),
              (std::vector<int>{57600, 57601, 57603, 57609, CMD_UNDO, CMD_REDO}));
    bool shiftG = false, f5 = false, f6 = false, shiftF6 = false;
    int undoKeys = 0, redoKeys = 0;
    for (const Accelerator& a : Accelerators()) {
        shiftG |= a.modifiers == KEY_SHIFT && a.letter == 'G' && a.command == CMD_ADD_FOLDER;
        f5 |= a.key == NamedKey::F5 && a.command == CMD_REFILL_TREE;
        f6 |= a.modifiers == KEY_PLAIN && a.key == NamedKey::F6 && a.command == CMD_NEXT_PANE;
        shiftF6 |=
            a.modifiers == KEY_SHIFT && a.key == NamedKey::F6 && a.command == CMD_PREVIOUS_PANE;
        undoKeys += (a.modifiers == KEY_CTRL && a.letter == 'Z' && a.command == CMD_UNDO) ||
                    (a.modifiers == KEY_ALT && a.key == NamedKey::Back && a.command == CMD_UNDO);
        redoKeys +=
            (a.modifiers == KEY_CTRL && a.letter == 'Y' && a.command == CMD_REDO) ||
            (a.modifiers == (KEY_CTRL | KEY_SHIFT) && a.letter == 'Z' && a.command == CMD_REDO);
    }
    EXPECT_EQ(undoKeys, 2) << "Ctrl+Z and Alt+Backspace";
    EXPECT_EQ(redoKeys, 2) << "Ctrl+Y and Ctrl+Shift+Z";
    EXPECT_TRUE(shiftG);
    EXPECT_TRUE(f5);
    EXPECT_TRUE(f6);
    EXPECT_TRUE(shiftF6);
}

TEST_F(ShellTest, WebPagesAndTheirFailureMessages) {
    EXPECT_EQ(WebPageFor(CMD_HELP), "https://vantry.app/index.php?jump=vantry/documentation.htm");
    EXPECT_EQ(WebPageFor(CMD_GETTING_STARTED),
              "https://vantry.app/index.php?jump=vantry/tutorial.htm");
    EXPECT_EQ(WebPageFor(CMD_CALENDAR_TUTORIAL),
              "https://vantry.app/index.php?jump=vantry/tutorial_calendar.htm");
    EXPECT_EQ(WebPageFor(CMD_CHECK_UPDATES),
              "https://vantry.app/index.php?jump=vantry/features.htm");
    EXPECT_EQ(WebPageFor(CMD_EDIT), "");

    ScriptedUI ui;
    std::vector<std::string> opened;
    bool works = true;
    QSetShellHandler([&](const char* url) {
        opened.push_back(url);
        return works;
    });
    EXPECT_TRUE(OpenWebPage(WebPageFor(CMD_VISIT_NIMBREL)));
    EXPECT_TRUE(ui.asked.empty());
    works = false;
    EXPECT_FALSE(OpenWebPage("https://vantry.app/x"));
    EXPECT_FALSE(OpenWebPage("https://vantry.app/help", true));
    ASSERT_EQ(ui.asked.size(), 2u);
    EXPECT_EQ(ui.asked[0].text, "Can't start website (https://vantry.app/x)");
    EXPECT_EQ(ui.asked[1].text, "Can't start online help (https://vantry.app/help)");
    EXPECT_EQ(ui.asked[1].caption, "Error");
    EXPECT_EQ(opened.front(), "https://nimbrel.app/");
}

TEST_F(ShellTest, DocumentTypeIsRegisteredForTheUser) {
    std::string home = dir.File("share");
    ASSERT_TRUE(RegisterDocumentType(home, "/opt/vantry/bin/vantry"));
    std::string entry = ReadWholeFile(home + "/applications/vantry.desktop");
    EXPECT_THAT(entry, HasSubstr("Exec=\"/opt/vantry/bin/vantry\" %f\n"));
    EXPECT_THAT(entry, HasSubstr("MimeType=application/x-vantry-document;"));
    std::string mime = ReadWholeFile(home + "/mime/packages/vantry.xml");
    EXPECT_THAT(mime, HasSubstr("<comment>Vantry Document</comment>"));
    EXPECT_THAT(mime, HasSubstr("<glob pattern=\"*.vnt\"/>"));
    auto stamp = std::filesystem::last_write_time(home + "/applications/vantry.desktop");
    ASSERT_TRUE(RegisterDocumentType(home, "/opt/vantry/bin/vantry"));
    EXPECT_EQ(std::filesystem::last_write_time(home + "/applications/vantry.desktop"), stamp)
        << "unchanged files are left alone";
    EXPECT_FALSE(RegisterDocumentType("", "/x"));
}

} // namespace
