#include "app/sync_command_line.h"

#include "app/document_files.h"
#include "foundation/locale_text.h"
#include "foundation/qregularfile.h"
#include "model/vcollection.h"
#include "sync/caldav_sync.h"
#include "sync/http_client.h"

#include <sys/stat.h>

namespace {

struct SyncArgs {
    bool account = false; // --sync-account URL, else --sync
    std::string url, user, passwordFile, file;
    bool hasUser = false, allowDeletes = false;
};

bool parse(const std::vector<std::string>& args, SyncArgs& a, std::ostream& err) {
    bool modeSeen = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& to) {
            if (i + 1 >= args.size()) return false;
            to = args[++i];
            return true;
        };
        bool ok = true;
        if (arg == "--sync-account" || arg == "--sync") {
            if (modeSeen) ok = false;
            modeSeen = true;
            a.account = arg == "--sync-account";
            if (a.account) ok = ok && value(a.url);
        } else if (arg == "--user") {
            ok = value(a.user);
            a.hasUser = true;
        } else if (arg == "--password-file") {
            ok = value(a.passwordFile);
        } else if (arg == "--allow-deletes") {
            a.allowDeletes = true;
        } else if (arg.compare(0, 2, "--") != 0 && a.file.empty()) {
            a.file = arg;
        } else {
            ok = false;
        }
        if (!ok) {
            err << "vantry: unknown, repeated or incomplete option '" << arg << "'\n";
            return false;
        }
    }
    if (a.file.empty() || (a.account && !a.hasUser) || (!a.account && a.hasUser)) {
        err << "usage: vantry --sync-account URL --user NAME [--password-file F] FILE\n"
               "       vantry --sync [--password-file F] [--allow-deletes] FILE\n";
        return false;
    }
    return true;
}

// The password is the file's first line; it is read again on every run, never stored. As
// ssh does with a private key, a file others may read or write is refused.
bool readPassword(const std::string& path, SyncOptions& options, std::ostream& err) {
    if (path.empty()) return true;
    std::string bytes;
    if (!QReadRegularFile(path.c_str(), bytes)) {
        err << "vantry: can't read the password file " << path << "\n";
        return false;
    }
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || (info.st_mode & (S_IRWXG | S_IRWXO))) {
        err << "vantry: the password file " << path
            << " is open to others; make it yours alone: chmod 600 " << path << "\n";
        return false;
    }
    options.password = bytes.substr(0, bytes.find_first_of("\r\n"));
    return true;
}

// The report quotes item texts (those kept twice) and warnings the server's hrefs: they
// reach the terminal as every printed item text does, control characters written out.
std::string terminalText(const std::string& utf8) {
    return LocaleText::FromEnvironment().ToTerminal(utf8, TextEncoding::Utf8);
}

void printWarnings(const std::vector<std::string>& warnings, std::ostream& err) {
    for (const std::string& warning : warnings)
        err << "vantry: warning: " << terminalText(warning) << "\n";
}

bool load(VCollection& c, const std::string& file, std::ostream& err) {
    if (!QIsReadableRegularFile(file.c_str())) {
        ReportUnreadable(file.c_str());
        return false;
    }
    VLoadResult loaded = c.Load(file.c_str());
    if (!loaded.isDocument) err << "vantry: " << file << ": not a Vantry document\n";
    if (loaded.Damaged()) err << "vantry: " << loaded.DamageText(file) << "; not synced\n";
    return loaded.isDocument && !loaded.Damaged();
}

int storeAccount(const SyncArgs& a, const SyncOptions& options, VCollection& c, std::ostream& out,
                 std::ostream& err) {
    SyncAccount account{a.url, a.user};
    if (UrlHoldsPassword(a.url)) {
        err << "vantry: the account's URL holds a password: give the user with --user and the "
               "password with --password-file. The document is unchanged.\n";
        return 1;
    }
    if (!a.passwordFile.empty()) {
        std::vector<std::string> warnings;
        std::string problem = CheckSyncAccount(account, options, warnings);
        printWarnings(warnings, err);
        if (!problem.empty()) {
            err << "vantry: the account does not answer as a calendar: " << problem
                << ". The document is unchanged.\n";
            return 1;
        }
    }
    SetSyncAccount(c, account);
    if (!c.Save(a.file.c_str())) return 1;
    out << "Sync account: " << a.url << " as " << a.user
        << (a.passwordFile.empty() ? " (not checked)" : " (checked)") << "\n";
    return 0;
}

int sync(const SyncArgs& a, SyncOptions& options, VCollection& c, std::ostream& out,
         std::ostream& err) {
    options.allowDeletes = a.allowDeletes;
    SyncSnapshot snapshot = TakeSyncSnapshot(c);
    if (snapshot.state.account.Empty()) {
        err << "vantry: " << a.file << " has no sync account (see --sync-account)\n";
        return 1;
    }
    SyncResult result = ExchangeWithServer(snapshot, options);
    printWarnings(result.warnings, err);
    if (result.status == SyncResult::Status::NeedsDeleteConfirmation) {
        err << "vantry: the sync would delete " << result.deletesToConfirm
            << " items (more than 10 or more than a tenth of the document); nothing was "
               "changed. Run it with --allow-deletes to delete them.\n";
        return 1;
    }
    SyncApplied applied = ApplySyncResult(c, snapshot, result);
    std::string report = terminalText(SyncReport(result, applied));
    if (result.status != SyncResult::Status::Done) {
        err << "vantry: " << report << "\n";
        return 1;
    }
    if (!c.Save(a.file.c_str())) return 1;
    out << report << "\n";
    return 0;
}

} // namespace

bool IsSyncCommandLine(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") break;
        if (arg == "--sync" || arg == "--sync-account") return true;
    }
    return false;
}

int RunSyncCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    SyncArgs a;
    SyncOptions options;
    VCollection c;
    if (!parse(args, a, err) || !readPassword(a.passwordFile, options, err) ||
        !load(c, a.file, err))
        return 1;
    return a.account ? storeAccount(a, options, c, out, err) : sync(a, options, c, out, err);
}
