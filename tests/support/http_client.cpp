#include "support/http_client.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace http_test {

int Connect(int port) {
    int handle = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
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
    timeval wait{seconds, 0};
    setsockopt(handle, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    std::string answer;
    char buffer[4096];
    ssize_t got;
    while ((got = recv(handle, buffer, sizeof buffer, 0)) > 0)
        answer.append(buffer, got);
    return answer;
}

std::string Exchange(int port, const std::string& request) {
    int handle = Connect(port);
    if (handle < 0) return "<no connection>";
    SendAll(handle, request);
    std::string answer = ReadAll(handle);
    close(handle);
    return answer;
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
