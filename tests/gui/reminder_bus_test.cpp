// Reminders on the desktop, from outside: the real window program on a virtual screen
// (run-under-xvfb.sh) sends its notifications over a private session bus
// (dbus-run-session) to a fake notification service that logs every Notify call. The
// program's clock starts where VANTRY_CLOCK says, twenty seconds before a reminder.
#include "model/vcollection.h"
#include "model/vdays.h"
#include "model/vschedule.h"
#include "model/vtodo.h"
#include "support/model_builders.h"
#include "support/temp_dir.h"
#include "test_paths.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {

constexpr auto CEILING = std::chrono::seconds(150);

// Polls until the condition holds, at most CEILING.
bool WaitFor(const std::function<bool()>& condition) {
    auto end = std::chrono::steady_clock::now() + CEILING;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv) {
    std::vector<std::string> env(extraEnv);
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    std::vector<char*> argv, envp;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
    return pid;
}

bool Shell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

void Stop(pid_t& pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

struct Item {
    const char* text;
    const char* due; // "YYYY-MM-DD HH:MM"
    int remindBefore;
};

class ReminderBusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The program and the document's times agree on the zone.
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
        service = Spawn({"/usr/bin/python3", FAKE_NOTIFICATION_SERVICE, log, ready}, {});
        ASSERT_GT(service, 0);
        ASSERT_TRUE(WaitFor([this] { return std::ifstream(ready).good(); }))
            << "the fake notification service owns its name on the session bus";
    }
    void TearDown() override {
        Stop(program);
        Stop(service);
    }

    // Adds the items to the document file (a new one the first time).
    void AddToDocument(const std::vector<Item>& items) {
        VCollection c;
        if (std::ifstream(document).good()) c.Load(document.c_str());
        for (const Item& item : items) {
            auto* todo = AddNode<VTodo>(c);
            todo->what = item.text;
            VSchedule s;
            std::string due = item.due;
            long day = 0;
            int minute = 0;
            ASSERT_TRUE(ParseDayText(due.substr(0, 10).c_str(), day));
            ASSERT_TRUE(ParseMinuteText(due.substr(11), minute));
            s.dueDay = day;
            s.dueMinute = minute;
            s.reminderMinutes = item.remindBefore;
            SetSchedule(c, todo, s);
        }
        ASSERT_TRUE(c.Save(document.c_str()));
    }

    // Starts the program on the document with its clock at `clock` ("YYYY-MM-DDTHH:MM:SS").
    void StartProgram(const std::string& clock) {
        calledBefore = Calls().size();
        // (Settings, log and the user's desktop entry go into the test's folder, not the home.)
        program = Spawn({VANTRY_BINARY, document},
                        {"VANTRY_CLOCK=" + clock, "VANTRY_NO_SPLASH=1", "HOME=" + dir.Path(),
                         "XDG_CONFIG_HOME=" + dir.File("config"),
                         "XDG_DATA_HOME=" + dir.File("data"),
                         "XDG_STATE_HOME=" + dir.File("state")});
        ASSERT_GT(program, 0);
    }

    // Every Notify call so far: "SUMMARY\tBODY\tACTIONS".
    std::vector<std::string> Calls() const {
        std::vector<std::string> lines;
        std::ifstream in(log);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    // The calls since the program started.
    std::vector<std::string> CallsOfThisRun() const {
        std::vector<std::string> all = Calls();
        return {all.begin() + (long)std::min(calledBefore, all.size()), all.end()};
    }
    bool Called(const std::string& summary) const {
        for (const std::string& call : CallsOfThisRun())
            if (call.rfind(summary + "\t", 0) == 0) return true;
        return false;
    }
    std::string DocumentBytes() const { return ReadWholeFile(document); }

    TempDir dir;
    std::string log = dir.File("notify.log");
    std::string ready = dir.File("service.ready");
    std::string document = dir.File("reminders.vnt");
    pid_t service = -1;
    pid_t program = -1;
    std::size_t calledBefore = 0;
};

TEST_F(ReminderBusTest, EachReminderIsOneNotificationOnceAndMissedOnesComeTogether) {
    // Every notification offers Snooze and Open, at normal urgency.
    const std::string actions = "1,Snooze,2,Open\t1";
    AddToDocument({{"Water the plants", "2026-03-02 09:00", 0},
                   {"Call the bank", "2026-03-02 09:02", 1}}); // reminds at 09:01
    std::string before = DocumentBytes();

    // Twenty seconds before the first reminder (a slow start under load still comes
    // first), a minute before the second: the second shows that the first came once.
    StartProgram("2026-03-02T08:59:40");
    ASSERT_TRUE(WaitFor([this] { return Called("Water the plants"); }));
    ASSERT_TRUE(WaitFor([this] { return Called("Call the bank"); }));
    EXPECT_EQ(CallsOfThisRun(),
              (std::vector<std::string>{"Water the plants\tDue 02-Mar-26 09:00\t" + actions,
                                        "Call the bank\tDue 02-Mar-26 09:02\t" + actions}));
    // The document had no unsaved changes: the record of reminders shown is in its file.
    ASSERT_TRUE(WaitFor([&] { return DocumentBytes() != before; }));
    Stop(program);

    // After a restart, neither again; a new item's reminder twenty seconds on shows that
    // the program looked.
    AddToDocument({{"Pay the rent", "2026-03-02 09:03", 0}});
    before = DocumentBytes();
    StartProgram("2026-03-02T09:02:40");
    ASSERT_TRUE(WaitFor([this] { return Called("Pay the rent"); }));
    EXPECT_EQ(CallsOfThisRun(),
              std::vector<std::string>{"Pay the rent\tDue 02-Mar-26 09:03\t" + actions});
    ASSERT_TRUE(WaitFor([&] { return DocumentBytes() != before; }));
    Stop(program);

    // Started after two reminders' time: one notification lists both.
    AddToDocument({{"Renew the passport", "2026-03-02 10:00", 0},
                   {"Book the dentist", "2026-03-02 11:30", 30},
                   {"Feed the cat", "2026-03-02 12:01", 0}});
    StartProgram("2026-03-02T12:00:40");
    ASSERT_TRUE(WaitFor([this] { return Called("Feed the cat"); }));
    EXPECT_EQ(
        CallsOfThisRun(),
        (std::vector<std::string>{"2 missed reminders\tRenew the passport (Due 02-Mar-26 10:00)\\n"
                                  "Book the dentist (Due 02-Mar-26 11:30)\t" +
                                      actions,
                                  "Feed the cat\tDue 02-Mar-26 12:01\t" + actions}));

    // Open, answered on the desktop, brings the minimised window back.
    const std::string window = "xdotool search --onlyvisible --name '^Vantry v4' >/dev/null";
    ASSERT_TRUE(WaitFor([&] { return Shell(window); }));
    ASSERT_TRUE(Shell("xdotool search --onlyvisible --name '^Vantry v4' windowminimize --sync"));
    ASSERT_FALSE(Shell(window));
    ASSERT_TRUE(Shell("gdbus call --session --dest org.freedesktop.Notifications "
                      "--object-path /org/freedesktop/Notifications "
                      "--method test.vantry.Control.Answer 'Feed the cat' 2 | grep -q true"));
    EXPECT_TRUE(WaitFor([&] { return Shell(window); }));
}

} // namespace
