// vantry --serve: the remote view of a document file without a window, until interrupted.
#pragma once

#include <ostream>
#include <string>
#include <vector>

constexpr int REMOTE_VIEW_PORT = 8100;
constexpr int REMOTE_VIEW_WORKERS = 8;
// Where the remote view listens unless told otherwise: this machine only.
constexpr const char* REMOTE_VIEW_LOOPBACK = "127.0.0.1";
// Every address of the machine, for devices on the network.
constexpr const char* REMOTE_VIEW_EVERYWHERE = "0.0.0.0";

class QNHTTPServer;

// What a browser is pointed to for a listening server bound to bindAddress: the machine's
// network address when it listens on every address, and the token when one is needed.
std::string RemoteViewAddress(const QNHTTPServer& server, const std::string& bindAddress);

// True when the arguments (without the program name) ask for the server.
bool IsServeMode(const std::vector<std::string>& args);
// Serves "--serve [--port N] [--bind ADDRESS] FILE" until SIGINT or SIGTERM; the exit code.
// It listens on loopback unless --bind names another address.
int RunServeMode(const std::vector<std::string>& args, const std::string& settingsPath,
                 std::ostream& out, std::ostream& err);
