// vantry --serve: the remote view of a document file without a window, until interrupted.
#pragma once

#include <ostream>
#include <string>
#include <vector>

constexpr int REMOTE_VIEW_PORT = 8100;
constexpr int REMOTE_VIEW_WORKERS = 8;

// True when the arguments (without the program name) ask for the server.
bool IsServeMode(const std::vector<std::string>& args);
// Serves "--serve [--port N] [--bind ADDRESS] FILE" until SIGINT or SIGTERM; the exit code.
int RunServeMode(const std::vector<std::string>& args, const std::string& settingsPath,
                 std::ostream& out, std::ostream& err);
