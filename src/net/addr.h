// QNAddress: an IPv4 address and port, set from dotted text or a host name.
#pragma once

#include "foundation/qstring.h"

#include <cstdint>
#include <netinet/in.h>

class QNAddress {
  public:
    QNAddress();

    // Dotted text is taken as it is; anything else is looked up as a host name.
    bool GetByName(const char* name);
    // Address and port in host byte order.
    void Set(int family, std::uint32_t address, int port);
    void SetPort(int port);

    int Port() const { return ntohs(address.sin_port); }
    std::uint32_t Address() const { return ntohl(address.sin_addr.s_addr); }
    const char* Name() const { return name.Text(); }
    // "a.b.c.d", in a per-thread buffer that the next call overwrites.
    const char* Text() const;

    const sockaddr_in& SocketAddress() const { return address; }
    sockaddr_in& SocketAddress() { return address; }

  private:
    sockaddr_in address;
    qstring name;
};
