#include "support/http_client.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <thread>
#include <unistd.h>

namespace http_test {

using Clock = std::chrono::steady_clock;

namespace {

int connectTo(int port, int receiveBuffer) {
    int handle = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle >= 0 && receiveBuffer > 0)
        setsockopt(handle, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (handle < 0 || connect(handle, (sockaddr*)&to, sizeof to) != 0) {
        if (handle >= 0) close(handle);
        return -1;
    }
    return handle;
}

} // namespace

int Connect(int port) {
    return connectTo(port, 0);
}

int ConnectNarrow(int port) {
    return connectTo(port, 4096);
}

bool StillOpen(int handle) {
    char byte;
    ssize_t got = recv(handle, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
}

bool SendAll(int handle, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t sent = send(handle, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent <= 0) return false;
        done += sent;
    }
    return true;
}

std::string ReadAll(int handle, int seconds) {
    auto deadline = Clock::now() + std::chrono::seconds(seconds);
    std::string answer;
    char buffer[4096];
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
        if (left.count() <= 0) return answer + NO_END;
        timeval wait{(time_t)(left.count() / 1000000), (suseconds_t)(left.count() % 1000000)};
        setsockopt(handle, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        ssize_t got = recv(handle, buffer, sizeof buffer, 0);
        if (got > 0)
            answer.append(buffer, got);
        else if (got < 0 && errno == EINTR)
            continue;
        else if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return answer + NO_END;
        else
            return answer; // closed (or reset) by the server
    }
}

std::string Exchange(int port, const std::string& request) {
    int handle = Connect(port);
    if (handle < 0) return "<no connection>";
    SendAll(handle, request);
    std::string answer = ReadAll(handle);
    close(handle);
    return answer;
}

namespace {

// "0100007F:1F90" for 127.0.0.1:8080, as /proc/net/tcp writes addresses.
std::string TableAddress(const sockaddr_in& address) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X:%04X", (unsigned)address.sin_addr.s_addr,
                  (unsigned)ntohs(address.sin_port));
    return text;
}

} // namespace

int UnreadByServer(int handle) {
    // What has not reached the server yet counts too: the bytes it has not acknowledged.
    int unacknowledged = 0;
    if (ioctl(handle, SIOCOUTQ, &unacknowledged) != 0) return -1;
    sockaddr_in mine{}, server{};
    socklen_t size = sizeof mine;
    if (getsockname(handle, (sockaddr*)&mine, &size) != 0) return -1;
    size = sizeof server;
    if (getpeername(handle, (sockaddr*)&server, &size) != 0) return -1;
    // The server's end of the connection: its local address is our peer and the other way
    // round; its receive queue holds what it has not read.
    std::ifstream table("/proc/net/tcp");
    std::string line;
    std::getline(table, line); // the heading
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues;
        fields >> slot >> local >> remote >> state >> queues;
        if (local != TableAddress(server) || remote != TableAddress(mine)) continue;
        size_t colon = queues.find(':');
        if (colon == std::string::npos) return -1;
        return unacknowledged + (int)std::stoul(queues.substr(colon + 1), nullptr, 16);
    }
    return -1;
}

bool ServerHasRead(int handle, int seconds) {
    auto deadline = Clock::now() + std::chrono::seconds(seconds);
    while (UnreadByServer(handle) != 0) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::vector<std::string> ThreadNames() {
    std::vector<std::string> names;
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks) return names;
    while (dirent* entry = readdir(tasks)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream comm(std::string("/proc/self/task/") + entry->d_name + "/comm");
        std::string name;
        if (std::getline(comm, name)) names.push_back(name);
    }
    closedir(tasks);
    return names;
}

} // namespace http_test
