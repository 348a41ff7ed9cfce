#include "net/localnames.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <unistd.h>

namespace {

std::string lower(std::string text) {
    for (char& c : text)
        c = (char)std::tolower((unsigned char)c);
    return text;
}

// Every IPv4 address of the interfaces that are up, in the system's order.
std::vector<std::string> interfaceAddresses() {
    std::vector<std::string> addresses;
    ifaddrs* all = nullptr;
    if (getifaddrs(&all) != 0) return addresses;
    for (ifaddrs* i = all; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
        char text[INET_ADDRSTRLEN];
        auto* at = reinterpret_cast<sockaddr_in*>(i->ifa_addr);
        if (inet_ntop(AF_INET, &at->sin_addr, text, sizeof text)) addresses.push_back(text);
    }
    freeifaddrs(all);
    return addresses;
}

} // namespace

std::vector<std::string> QNLocalNames() {
    std::vector<std::string> names{"localhost", "127.0.0.1", "::1"};
    char host[256] = {0};
    if (gethostname(host, sizeof host - 1) == 0 && host[0]) {
        std::string name = lower(host);
        names.push_back(name);
        names.push_back(name + ".local"); // as zero-configuration networking names it
        names.push_back(name.substr(0, name.find('.')));
    }
    for (const std::string& address : interfaceAddresses())
        names.push_back(address);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::string QNNetworkAddress() {
    for (const std::string& address : interfaceAddresses())
        if (!QNIsLoopback(address)) return address;
    return "";
}

bool QNIsLoopback(const std::string& address) {
    if (address.empty()) return false;
    in_addr at{};
    if (inet_pton(AF_INET, address.c_str(), &at) == 1) return (ntohl(at.s_addr) >> 24) == 127;
    return lower(address) == "localhost";
}

std::string QNHostOfHeader(const std::string& value) {
    std::string host = value;
    if (!host.empty() && host[0] == '[') {
        size_t end = host.find(']');
        host = end == std::string::npos ? host.substr(1) : host.substr(1, end - 1);
    } else if (size_t colon = host.find(':'); colon != std::string::npos) {
        host = host.substr(0, colon);
    }
    // A fully qualified name may end in a dot.
    if (!host.empty() && host.back() == '.') host.pop_back();
    return lower(host);
}
