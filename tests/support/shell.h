// Runs a shell command as a test's helper program: what it printed (standard output and
// error together) and its exit code.
#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>

inline int Shell(const std::string& command, std::string& output) {
    output.clear();
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
