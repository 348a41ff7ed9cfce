// File > Export > iCalendar... and File > Import > iCalendar...: a chosen file, a message,
// and an import that is one step of the undo history.
#include "model/vtodo.h"
#include "platform/command_ids.h"
#include "support/model_builders.h"
#include "support/scripted_ui.h"
#include "support/windowless_commands.h"

#include <gmock/gmock.h>

using ::testing::HasSubstr;

namespace {

class IcsCommandsTest : public WindowlessCommands<CSkedraDoc> {
  protected:
    void SetUp() override {
        WindowlessCommands<CSkedraDoc>::SetUp();
        path = dir.File("doc.vnt");
        {
            VCollection c;
            auto* home = AddNode<VGroup>(c);
            home->name = "Home";
            AddNode<VTodo>(c, home)->what = "Water plants";
            ASSERT_TRUE(c.Save(path.c_str()));
        }
        ASSERT_TRUE(doc->OpenDocument(path.c_str()));
    }
    std::string Bytes() { return DocumentBytes(*doc->Collection()); }
    int Items() {
        int count = 0;
        for (VNode* n = doc->Collection()->root->next; n; n = n->next)
            count += !n->IsFolderKind();
        return count;
    }

    std::string path;
    ScriptedUI boxes;
};

TEST_F(IcsCommandsTest, AnImportIsOneStepOfTheUndoHistory) {
    WriteWholeFile("in.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//EN\r\n"
                             "X-WR-CALNAME:Garden\r\n"
                             "BEGIN:VTODO\r\nUID:a\r\nSUMMARY:Mow\r\nEND:VTODO\r\n"
                             "BEGIN:VEVENT\r\nUID:b\r\nSUMMARY:Fair\r\n"
                             "DTSTART;VALUE=DATE:20261205\r\nEND:VEVENT\r\n"
                             "END:VCALENDAR\r\n");
    std::string before = Bytes();
    ui.answer = dir.File("in.ics");
    ASSERT_TRUE(RunCommand(CMD_IMPORT_ICALENDAR, context));
    EXPECT_EQ(ui.asked,
              std::vector<std::string>{
                  "open: Import iCalendar iCalendar files (*.ics)|*.ics|All files (*)|*"});
    EXPECT_EQ(Items(), 3);
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "Imported 2 new and 0 updated items from " + ui.answer + ".");
    EXPECT_TRUE(host.modified);
    EXPECT_EQ(CommandLabel(CMD_UNDO, context), "Undo Import iCalendar");
    std::string after = Bytes();

    ASSERT_TRUE(RunCommand(CMD_UNDO, context));
    EXPECT_EQ(Bytes(), before) << "the items, their folder and their UIDs go in one step";
    EXPECT_EQ(Items(), 1);
    ASSERT_TRUE(RunCommand(CMD_REDO, context));
    EXPECT_EQ(Bytes(), after);
}

TEST_F(IcsCommandsTest, ABrokenFileOrNoChoiceChangesNothing) {
    WriteWholeFile("broken.ics", "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nSUMMARY:x\r\n");
    std::string before = Bytes();
    ui.answer = dir.File("broken.ics");
    ASSERT_TRUE(RunCommand(CMD_IMPORT_ICALENDAR, context));
    ASSERT_EQ(boxes.asked.size(), 1u);
    // The unclosed item is named by its BEGIN, not by where the file happens to end.
    EXPECT_THAT(boxes.asked[0].text, HasSubstr("the VTODO that begins at line 2 has no END"));
    EXPECT_THAT(boxes.asked[0].text, HasSubstr("Nothing was imported."));
    EXPECT_EQ(boxes.asked[0].icon, MsgIcon::Error);
    ui.answer = "";
    ASSERT_TRUE(RunCommand(CMD_IMPORT_ICALENDAR, context));
    ASSERT_TRUE(RunCommand(CMD_EXPORT_ICALENDAR, context));
    EXPECT_EQ(boxes.asked.size(), 1u) << "a cancelled chooser says nothing";
    EXPECT_EQ(Bytes(), before);
    EXPECT_FALSE(host.modified);
    EXPECT_EQ(CommandLabel(CMD_UNDO, context), "Undo");
}

TEST_F(IcsCommandsTest, ExportWritesTheFileAndKeepsTheNewUids) {
    ui.answer = dir.File("out.ics");
    ASSERT_TRUE(RunCommand(CMD_EXPORT_ICALENDAR, context));
    EXPECT_EQ(ui.asked.at(0).substr(0, 24), "save: Export iCalendar i");
    EXPECT_EQ(ui.suggestedNames.at(0), "doc.ics") << "named after the document";
    std::string first = ReadWholeFile(ui.answer);
    EXPECT_THAT(first, HasSubstr("SUMMARY:Water plants\r\n"));
    EXPECT_THAT(first, HasSubstr("X-WR-CALNAME:doc\r\n"));
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "Exported 1 items to " + ui.answer + ".");
    EXPECT_TRUE(host.modified) << "the document holds the new UID";

    std::string bytes = Bytes();
    ASSERT_TRUE(RunCommand(CMD_EXPORT_ICALENDAR, context));
    std::string second = ReadWholeFile(ui.answer);
    auto uid = [](const std::string& text) {
        std::size_t at = text.find("\nUID:");
        return text.substr(at, text.find('\r', at) - at);
    };
    EXPECT_EQ(uid(second), uid(first));
    EXPECT_EQ(Bytes(), bytes);
}

} // namespace
