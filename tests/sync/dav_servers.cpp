#include "sync/dav_servers.h"

#include "support/shell.h"
#include "test_paths.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

const char* PYTHON = "/usr/bin/python3";

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

int connectTo(int port) {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons((std::uint16_t)port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int result = connect(s, (sockaddr*)&address, sizeof address);
    close(s);
    return result;
}

} // namespace

std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool Process::Start(const std::vector<std::string>& argv, const std::string& log) {
    Stop();
    pid = fork();
    if (pid == 0) {
        int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(fd, 1);
        dup2(fd, 2);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    return pid > 0;
}

void Process::Stop() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

int FreePort() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, (sockaddr*)&address, sizeof address);
    socklen_t length = sizeof address;
    getsockname(s, (sockaddr*)&address, &length);
    close(s);
    return ntohs(address.sin_port);
}

bool WaitForPort(int port) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(WAIT_SECONDS);
    while (connectTo(port) != 0) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

bool DavServer::Start(ServerKind kind, const std::string& folder) {
    port = FreePort();
    std::string address = "127.0.0.1:" + std::to_string(port);
    std::string log = folder + "/server.log";
    if (kind == ServerKind::Radicale) {
        writeFile(folder + "/users", "test:secret\n");
        writeFile(folder + "/radicale.conf", "[server]\nhosts = " + address +
                                                 "\n[auth]\ntype = htpasswd\n"
                                                 "htpasswd_filename = " +
                                                 folder +
                                                 "/users\nhtpasswd_encryption = plain\n"
                                                 "[storage]\nfilesystem_folder = " +
                                                 folder +
                                                 "/storage\n[rights]\ntype = owner_only\n");
        if (!process.Start({PYTHON, "/usr/bin/radicale", "--config", folder + "/radicale.conf"},
                           log))
            return false;
        url = "http://" + address + "/test/calendar/";
    } else {
        if (!process.Start({PYTHON, "/usr/bin/xandikos", "-d", folder + "/storage", "-l",
                            "127.0.0.1", "-p", std::to_string(port), "--defaults",
                            "--current-user-principal", "/test/"},
                           log))
            return false;
        url = "http://" + address + "/test/calendars/calendar/";
    }
    if (!WaitForPort(port)) return false;
    if (kind == ServerKind::Xandikos) return true; // --defaults made the calendar
    std::string output;
    return Shell(std::string(PYTHON) + " " SYNC_TEST_DIR "/caldav_device.py " + Quoted(url) +
                     " test secret make",
                 output) == 0;
}
