// `vantry --register` and `vantry --unregister`: a program run from its build tree makes the
// desktop open ".vnt" files with it only when the user asks, and takes that back again. An
// installed program's desktop entry comes with its package.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

bool IsRegisterMode(const std::vector<std::string>& args);

// Registers (or unregisters) the program at `executable` in the user's data folder
// `dataHome`; the exit code, with what was done on `out` and any problem on `err`.
int RunRegisterMode(const std::vector<std::string>& args, const std::string& executable,
                    const std::string& dataHome, std::ostream& out, std::ostream& err);
