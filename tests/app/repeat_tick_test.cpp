// Ticking a repeating item done, in the program without its windows: the same node moves
// to its next occurrence, whichever way it was ticked; the last occurrence stays done;
// one undo gives the document back byte for byte.
#include "app/commands/command_table.h"
#include "app/forms/dlg_taskfull.h"
#include "app/forms/dlg_todo.h"
#include "model/vdays.h"
#include "model/vschedule.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "platform/command_ids.h"
#include "support/fixed_clock.h"
#include "support/model_builders.h"
#include "support/scripted_editor.h"
#include "support/windowless_commands.h"
#include "views/view_flags.h"

#include <gmock/gmock.h>

namespace {

class RepeatTickTest : public WindowlessCommands<CSkedraDoc> {
  protected:
    void SetUp() override {
        WindowlessCommands::SetUp();
        // Home: "Rent", due on the 31st at 08:00 twice (January and March); "Standup",
        // an action every Monday at 09:00 from 5 January; "Pills", due at 09:00 and 15:00
        // every day from 2 February.
        path = dir.File("repeats.vnt");
        {
            VCollection c;
            auto* home = AddNode<VGroup>(c);
            home->name = "Home";
            auto* rent = AddNode<VTodo>(c, home);
            rent->what = "Rent";
            VSchedule s;
            s.dueDay = DayNumber(2026, 1, 31);
            s.dueMinute = 8 * 60;
            s.rule = "FREQ=MONTHLY;BYMONTHDAY=31;COUNT=2";
            s.reminderMinutes = 60;
            SetSchedule(c, rent, s);
            c.extensions.SetField(rent, VExtensions::UID, "rent-uid");
            auto* standup = AddNode<VTask>(c, home);
            standup->what = "Standup";
            standup->flags = 0;
            standup->startDate = "2026-01-05";
            VSchedule weekly;
            weekly.startMinute = 9 * 60;
            weekly.rule = "FREQ=WEEKLY";
            SetSchedule(c, standup, weekly);
            auto* pills = AddNode<VTodo>(c, home);
            pills->what = "Pills";
            VSchedule twice;
            twice.dueDay = DayNumber(2026, 2, 2);
            twice.dueMinute = 9 * 60;
            twice.rule = "FREQ=DAILY;BYHOUR=9,15";
            SetSchedule(c, pills, twice);
            ASSERT_TRUE(c.Save(path.c_str()));
        }
        ASSERT_TRUE(doc->OpenDocument(path.c_str()));
        view->viewFlags |= VIEW_DONE; // a done row stays
        doc->Filters().CopyViewFlagsToFilters(view->viewFlags);
        for (VNode* n = C().root->next; n; n = n->next)
            if (n->IsFolderKind()) view->SetFolder(n);
        Draw();
    }

    VNode* Find(const char* text) {
        for (VNode* n = C().root->next; n; n = n->next) {
            qstring shown;
            n->Describe(shown, true);
            if (shown == text) return n;
        }
        return nullptr;
    }
    // A click on the row's check box.
    void Tick(VNode* item) {
        Draw();
        int y = item->rect.y + item->rect.height / 2, x = item->rect.x;
        while (x < item->rect.x + 100 && !view->InCheckBox(item, x, y))
            ++x;
        ASSERT_TRUE(view->InCheckBox(item, x, y));
        view->OnLButtonDown(x, y);
        view->OnLButtonUp(x, y);
    }
    // Edit with the dialog's "done" ticked.
    void TickInDialog(VNode* item) {
        ScriptedEditor editor;
        editor.script = [](ItemForm& form, int) {
            if (auto* todo = dynamic_cast<CDlgTodo*>(&form)) todo->done = true;
            if (auto* task = dynamic_cast<CDlgTaskFull*>(&form)) task->done = true;
            return true;
        };
        view->SetFolder(item->parent);
        Draw();
        item->Select();
        ASSERT_TRUE(RunCommand(CMD_EDIT, context));
    }
    std::string Due(const VNode* item) {
        std::optional<VWhen> due = DueOf(C(), item);
        return due ? DayText(due->day) + (due->minute ? " " + MinuteText(*due->minute) : "") : "";
    }
    std::string Bytes() { return DocumentBytes(C()); }

    FixedClock clock{2, 2, 2026};
    std::string path;
};

TEST_F(RepeatTickTest, TheSameNodeMovesToItsNextOccurrenceAndUndoGivesTheBytesBack) {
    struct Case {
        const char* item;
        bool inDialog; // else by its check box
        const char* next;
        const char* undoName;
    } cases[] = {
        {"Rent", false, "2026-03-31 08:00", "Undo Mark done"},
        {"Rent", true, "2026-03-31 08:00", "Undo Edit"},
        {"Standup", false, "2026-01-12 09:00", "Undo Mark done"},
        {"Standup", true, "2026-01-12 09:00", "Undo Edit"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.item) + (c.inDialog ? " in its dialog" : " by its check box"));
        VNode* item = Find(c.item);
        ASSERT_NE(item, nullptr);
        std::uint32_t serial = item->Serial();
        std::string uid = C().extensions.Field(item, VExtensions::UID);
        std::string before = Bytes();

        if (c.inDialog)
            TickInDialog(item);
        else
            Tick(item);
        item = Find(c.item);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Serial(), serial) << "the same node";
        EXPECT_EQ(C().extensions.Field(item, VExtensions::UID), uid);
        EXPECT_FALSE(item->flags & DONE);
        EXPECT_EQ(Due(item), c.next);
        EXPECT_EQ(ScheduleOf(C(), item).doneDay, DayNumber(2026, 2, 2));
        EXPECT_EQ(CommandLabel(CMD_UNDO, context), c.undoName);
        std::string after = Bytes();

        ASSERT_TRUE(RunCommand(CMD_UNDO, context));
        EXPECT_EQ(Bytes(), before) << "one step back, byte for byte";
        ASSERT_TRUE(RunCommand(CMD_REDO, context));
        EXPECT_EQ(Bytes(), after);
        ASSERT_TRUE(RunCommand(CMD_UNDO, context));
        EXPECT_EQ(Bytes(), before);
    }
}

TEST_F(RepeatTickTest, TheLastOccurrenceStaysDone) {
    Tick(Find("Rent"));
    ASSERT_EQ(Due(Find("Rent")), "2026-03-31 08:00");
    EXPECT_EQ(ScheduleOf(C(), Find("Rent")).rule, "FREQ=MONTHLY;COUNT=1;BYMONTHDAY=31");
    std::string moved = Bytes();
    Tick(Find("Rent"));
    VNode* rent = Find("Rent");
    EXPECT_TRUE(rent->flags & DONE) << "COUNT=2: no third";
    EXPECT_EQ(Due(rent), "2026-03-31 08:00");
    ASSERT_TRUE(doc->SaveDocument(path.c_str()));
    ASSERT_TRUE(RunCommand(CMD_UNDO, context));
    EXPECT_EQ(Bytes(), moved);
    EXPECT_FALSE(Find("Rent")->flags & DONE);
}

// The next occurrence is the next moment: the same day's later time comes first.
TEST_F(RepeatTickTest, TwoOccurrencesOnADayAreTickedInTurn) {
    std::string before = Bytes();
    for (const char* next : {"2026-02-02 15:00", "2026-02-03 09:00", "2026-02-03 15:00"}) {
        Tick(Find("Pills"));
        EXPECT_EQ(Due(Find("Pills")), next);
        EXPECT_FALSE(Find("Pills")->flags & DONE);
    }
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(RunCommand(CMD_UNDO, context));
    EXPECT_EQ(Bytes(), before);
}

} // namespace
