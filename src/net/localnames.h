// The names and addresses by which this machine can be reached: what a request's Host
// header may name, and what a device on the network browses to.
#pragma once

#include <string>
#include <vector>

// "localhost", the host name (and its ".local" form), and every IPv4 address of the
// machine's interfaces, loopback included; lower case.
std::vector<std::string> QNLocalNames();

// The machine's first IPv4 address other than loopback, as dotted text; empty when it
// has none (no network).
std::string QNNetworkAddress();

// True for an address (dotted text or a name) of the loopback network 127.0.0.0/8.
bool QNIsLoopback(const std::string& address);

// The host of a Host header value: without ":port", an IPv6 literal without its
// brackets, lower case.
std::string QNHostOfHeader(const std::string& value);
