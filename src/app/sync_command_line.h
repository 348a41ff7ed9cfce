// The headless sync modes: storing a document's sync account, and syncing it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// The arguments ask for --sync or --sync-account.
bool IsSyncCommandLine(const std::vector<std::string>& args);
// Runs it and answers the exit code: 0 when done, 1 with the reason on err otherwise.
int RunSyncCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
