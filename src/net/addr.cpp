#include "net/addr.h"

#include "foundation/qmessage.h"
#include "net/global.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstring>
#include <netdb.h>

QNAddress::QNAddress() {
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
}

bool QNAddress::GetByName(const char* hostName) {
    if (!hostName) qwarn(QLOC("QNAddress::GetByName"), "'name' is null");
    if (!hostName || !hostName[0]) {
        qwarn(QLOC("QNAddress::GetByName"), "'name' is empty (name[0]=0)");
        return false;
    }
    name = hostName;
    address.sin_family = AF_INET;
    if (inet_pton(AF_INET, hostName, &address.sin_addr) == 1) return true;

    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (getaddrinfo(hostName, nullptr, &hints, &found) == 0 && found) {
        address.sin_addr = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
        freeaddrinfo(found);
        return true;
    }
    qnError("QNAddress:GetByName(%s) failed", hostName);
    return false;
}

void QNAddress::Set(int family, std::uint32_t hostAddress, int port) {
    address.sin_family = (sa_family_t)family;
    address.sin_addr.s_addr = htonl(hostAddress);
    address.sin_port = htons((std::uint16_t)port);
}

void QNAddress::SetPort(int port) {
    address.sin_port = htons((std::uint16_t)port);
}

const char* QNAddress::Text() const {
    thread_local char text[20];
    unsigned long a = Address();
    std::snprintf(text, sizeof text, "%lu.%lu.%lu.%lu", (a >> 24) & 0xFF, (a >> 16) & 0xFF,
                  (a >> 8) & 0xFF, a & 0xFF);
    return text;
}
