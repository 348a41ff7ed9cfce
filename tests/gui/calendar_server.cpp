#include "gui/calendar_server.h"

#include "support/shell.h"
#include "sync/dav_servers.h"
#include "test_paths.h"

struct CalendarServer::Server {
    DavServer dav;
};

namespace {

int device(const std::string& url, const std::string& command, std::string& output) {
    return Shell("/usr/bin/python3 " SYNC_TEST_DIR "/caldav_device.py " + Quoted(url) +
                     " test secret " + command,
                 output);
}

} // namespace

CalendarServer::CalendarServer() : server(std::make_unique<Server>()) {}
CalendarServer::~CalendarServer() = default;

bool CalendarServer::Start(const std::string& folder) {
    return server->dav.Start(ServerKind::Radicale, folder);
}

std::string CalendarServer::Url() const {
    return server->dav.CalendarUrl();
}

std::string CalendarServer::DeviceList() const {
    std::string output;
    return device(Url(), "list", output) == 0 ? output : "(the device failed) " + output;
}

bool CalendarServer::DeviceEmpties() const {
    std::string output;
    return device(Url(), "empty", output) == 0;
}
