// Calendar servers started on loopback for the sync's tests and benchmark: Radicale,
// Xandikos, and the processes and ports around them.
#pragma once

#include "support/shell.h"

#include <string>
#include <sys/types.h>
#include <vector>

// How long anything the tests start may take to answer, however loaded the machine.
constexpr int WAIT_SECONDS = 90;

// The text quoted for the shell.
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
