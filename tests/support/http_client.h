// A plain loopback client for the server tests: connects, sends bytes, reads the answer.
#pragma once

#include <string>
#include <vector>

namespace http_test {

// How long a client waits for the server before it gives up: generous, for busy machines.
constexpr int ANSWER_SECONDS = 90;

// A connected socket to 127.0.0.1:port, or -1.
int Connect(int port);
// A connection that takes almost nothing into its receive buffer, so the server's send has
// to wait for a reader; -1 when it can't connect.
int ConnectNarrow(int port);
// True while the server has neither sent anything on the connection nor closed it.
bool StillOpen(int handle);
bool SendAll(int handle, const std::string& bytes);
// Everything the server sends until it closes the connection. An answer the server did not
// end within the time given comes back with NO_END after what arrived, so that a test
// fails on it rather than taking a part for the whole.
std::string ReadAll(int handle, int seconds = ANSWER_SECONDS);
constexpr const char* NO_END = "<the server did not end its answer>";
// Connects, sends and reads the whole answer.
std::string Exchange(int port, const std::string& request);
// The bytes sent on this connection that the server has not read yet, whether still on
// their way or waiting in its receive queue (from the system's table of connections), or
// -1 when the connection is not found.
int UnreadByServer(int handle);
// Waits until the server has read everything sent on this connection; false when it did
// not within the time given.
bool ServerHasRead(int handle, int seconds = ANSWER_SECONDS);
// The names the system shows for this process's threads.
std::vector<std::string> ThreadNames();

} // namespace http_test
