// A Radicale calendar on loopback for the window's sync tests (user "test", password
// "secret"), started as the sync tests start theirs, and python3-caldav as another device
// reading it. Kept apart from gui_support, whose names the servers' helpers share.
#pragma once

#include <memory>
#include <string>

class CalendarServer {
  public:
    CalendarServer();
    ~CalendarServer();
    // Starts the server with its storage under `folder`, with one empty calendar.
    bool Start(const std::string& folder);
    std::string Url() const;
    // What the other device finds: one line per item, "UID<tab>SUMMARY<tab>...".
    std::string DeviceList() const;
    // Has the other device delete every item.
    bool DeviceEmpties() const;

  private:
    struct Server;
    std::unique_ptr<Server> server;
};
