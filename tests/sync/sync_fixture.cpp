#include "sync/sync_fixture.h"

#include "model/vcollection.h"
#include "model/vgroup.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/model_builders.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

const char* PYTHON = "/usr/bin/python3";

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

int Shell(const std::string& command, std::string& output) {
    output.clear();
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

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
        WriteWholeFile(folder + "/users", "test:secret\n");
        WriteWholeFile(folder + "/radicale.conf", "[server]\nhosts = " + address +
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

SyncTest::Result SyncTest::Vantry(const std::string& arguments) {
    Result r;
    r.code = Shell(std::string(VANTRY_BINARY) + " " + arguments, r.output);
    return r;
}

std::string SyncTest::Device(const std::string& command) {
    std::string output;
    int code = Shell(std::string(PYTHON) + " " SYNC_TEST_DIR "/caldav_device.py " +
                         Quoted(server.CalendarUrl()) + " test secret " + command,
                     output);
    EXPECT_EQ(code, 0) << command << ": " << output;
    return output;
}

std::map<std::string, std::string> SyncTest::DeviceItems() {
    std::map<std::string, std::string> items;
    std::istringstream lines(Device("list"));
    for (std::string line; std::getline(lines, line);) {
        std::size_t tab = line.find('\t');
        if (tab != std::string::npos && line.compare(0, 8, "WARNING:") != 0)
            items[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return items;
}

void SyncTest::MakeDocument(const std::string& file, const std::vector<std::string>& texts) {
    VCollection c;
    auto* work = AddNode<VGroup>(c);
    work->name = "Work";
    for (const std::string& text : texts)
        AddNode<VTodo>(c, work)->what = text.c_str();
    ASSERT_TRUE(c.Save(file.c_str()));
}

// An item's text as a list shows it, without an action's days.
std::string ItemText(const VNode* node) {
    if (auto* task = dynamic_cast<const VTask*>(node)) return task->what.Text();
    qstring text;
    node->Describe(text, false);
    return text.Text();
}

DocumentItems SyncTest::Items(const std::string& file) {
    VCollection c;
    c.Load(file.c_str());
    DocumentItems items;
    for (VNode* node = c.root->next; node; node = node->next) {
        if (node->IsFolderKind()) continue;
        std::string uid = c.extensions.Field(node, VExtensions::UID);
        items[uid.empty() ? "(no UID) " + ItemText(node) : uid] = ItemText(node);
    }
    return items;
}

VNode* SyncTest::Find(VCollection& c, const std::string& text) {
    for (VNode* node = c.root->next; node; node = node->next)
        if (ItemText(node) == text) return node;
    ADD_FAILURE() << "no item \"" << text << "\"";
    return nullptr;
}

void SyncTest::Connect(const std::string& file) {
    WriteWholeFile("password", "secret\n");
    Result r = Vantry("--sync-account " + Quoted(server.CalendarUrl()) +
                      " --user test --password-file password " + file);
    ASSERT_EQ(r.code, 0) << r.output;
}
