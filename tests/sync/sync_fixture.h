// What the sync tests share: calendar servers they start on loopback (Radicale, Xandikos,
// a misbehaving one), the other device (python3-caldav), the vantry program, and small
// documents.
#pragma once

#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

// How long anything the tests start may take to answer, however loaded the machine.
constexpr int WAIT_SECONDS = 90;

// Runs a shell command; its output (standard output and error) and exit code.
int Shell(const std::string& command, std::string& output);
std::string Quoted(const std::string& text);

// A program the test started; stopped (SIGTERM, then waited for) when it goes.
class Process {
  public:
    Process() = default;
    ~Process() { Stop(); }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    bool Start(const std::vector<std::string>& argv, const std::string& log);
    void Stop();

  private:
    pid_t pid = -1;
};

// A port nobody listens on now.
int FreePort();
// Polls until something accepts connections on the loopback port.
bool WaitForPort(int port);

enum class ServerKind { Radicale, Xandikos };

// A calendar server with its storage in a folder of its own, a user "test" with the
// password "secret" (Radicale checks it through a plain htpasswd file; Xandikos has no
// users) and one empty calendar collection.
class DavServer {
  public:
    bool Start(ServerKind kind, const std::string& folder);
    void Stop() { process.Stop(); }
    const std::string& CalendarUrl() const { return url; }
    int Port() const { return port; }

  private:
    Process process;
    int port = 0;
    std::string url;
};

// An item's text as a list shows it, without an action's days.
std::string ItemText(const class VNode* node);
// A document's items by UID, as their text.
using DocumentItems = std::map<std::string, std::string>;

class SyncTest : public ::testing::Test {
  protected:
    struct Result {
        int code;
        std::string output;
    };
    // vantry with these arguments (quoted already where needed), in the test's folder.
    Result Vantry(const std::string& arguments);
    // python3-caldav on the server's calendar; its output.
    std::string Device(const std::string& command);
    // The device's list: UID to the rest of its line (SUMMARY, RRULE, alarm triggers).
    std::map<std::string, std::string> DeviceItems();

    // A document of to-dos with these texts in a folder "Work".
    void MakeDocument(const std::string& file, const std::vector<std::string>& texts);
    static DocumentItems Items(const std::string& file);
    // Loads the document, hands it to the change, saves it.
    template <class Change> static void Edit(const std::string& file, Change change);
    // The node of the document whose text (ItemText) is this; fails the test when none is.
    static class VNode* Find(class VCollection& c, const std::string& text);
    // Sets the account (checking it with the password file "password").
    void Connect(const std::string& file);

    TempDir dir;
    DavServer server;
};

#include "model/vcollection.h"

template <class Change> void SyncTest::Edit(const std::string& file, Change change) {
    VCollection c;
    c.Load(file.c_str());
    change(c);
    ASSERT_TRUE(c.Save(file.c_str()));
}
