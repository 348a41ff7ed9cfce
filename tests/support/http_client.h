// A plain loopback client for the server tests: connects, sends bytes, reads the answer.
#pragma once

#include <string>
#include <vector>

namespace http_test {

// A connected socket to 127.0.0.1:port, or -1.
int Connect(int port);
bool SendAll(int handle, const std::string& bytes);
// Everything the server sends until it closes the connection (at most seconds long).
std::string ReadAll(int handle, int seconds = 5);
// Connects, sends and reads the whole answer.
std::string Exchange(int port, const std::string& request);
// The names the system shows for this process's threads.
std::vector<std::string> ThreadNames();

} // namespace http_test
