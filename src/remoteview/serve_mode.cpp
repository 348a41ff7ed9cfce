#include "remoteview/serve_mode.h"

#include "foundation/qfile.h"
#include "foundation/qinfo.h"
#include "model/vcollection.h"
#include "model/vcollviewer.h"
#include "net/local_names.h"
#include "remoteview/httpserver_vantry.h"
#include "remoteview/remote_document.h"

#include <csignal>
#include <cstdlib>
#include <pthread.h>

namespace {

struct ServeOptions {
    int port = REMOTE_VIEW_PORT;
    std::string bind = REMOTE_VIEW_LOOPBACK;
    std::string file;
};

bool parse(const std::vector<std::string>& args, ServeOptions& o, std::ostream& err) {
    size_t i = 1;
    for (; i + 1 < args.size(); i += 2) {
        const std::string& option = args[i];
        const std::string& value = args[i + 1];
        if (option == "--port") {
            char* end = nullptr;
            long port = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end || port < 0 || port > 65535) {
                err << "vantry: --port needs a port number (0 to 65535), not '" << value << "'\n";
                return false;
            }
            o.port = (int)port;
        } else if (option == "--bind") {
            o.bind = value;
        } else {
            break;
        }
    }
    if (i + 1 != args.size()) {
        err << "vantry: usage: vantry --serve [--port N] [--bind ADDRESS] FILE\n";
        return false;
    }
    o.file = args[i];
    return true;
}

} // namespace

std::string RemoteViewAddress(const QNHTTPServer& server, const std::string& bindAddress) {
    std::string host = bindAddress;
    if (host.empty() || host == REMOTE_VIEW_EVERYWHERE) {
        host = QNNetworkAddress();
        if (host.empty()) host = REMOTE_VIEW_LOOPBACK; // no network: this machine only
    }
    std::string address = "http://" + host + ":" + std::to_string(server.ListeningPort()) + "/";
    if (!server.Token().empty())
        address += std::string("?") + QNHTTPServer::TOKEN_NAME + "=" + server.Token();
    return address;
}

bool IsServeMode(const std::vector<std::string>& args) {
    return !args.empty() && args[0] == "--serve";
}

int RunServeMode(const std::vector<std::string>& args, const std::string& settingsPath,
                 std::ostream& out, std::ostream& err) {
    ServeOptions o;
    if (!parse(args, o, err)) return 1;
    if (QFileSize(o.file.c_str()) < 0) {
        err << "vantry: can't open '" << o.file << "'\n";
        return 1;
    }
    // The signals that end the server are taken here only, never by its threads, which
    // inherit this mask.
    sigset_t endSignals;
    sigemptyset(&endSignals);
    sigaddset(&endSignals, SIGINT);
    sigaddset(&endSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);

    VCollection collection;
    VLoadResult loaded = collection.Load(o.file.c_str());
    if (!loaded.isDocument) {
        err << "vantry: " << o.file << ": not a Vantry document\n";
        return 1;
    }
    if (loaded.Damaged()) err << "vantry: warning: " << loaded.DamageText(o.file) << "\n";
    QInfo settings(settingsPath.c_str(), QInfo::READ_ONLY);
    collection.LoadSettings(settings);
    // Nothing edits the document here: the pages can share what they find in it, and
    // there is no window whose folder they would have to put back.
    collection.FreezeStructure(true);
    VCollectionViewer viewer(&collection);
    viewer.folder = nullptr;
    LockedDocument document(viewer);
    QNHTTPServerVantry server(document, o.port, REMOTE_VIEW_WORKERS, false);
    if (!o.bind.empty()) server.SetBindAddress(o.bind.c_str());
    if (!server.Start(true)) {
        err << "vantry: can't serve " << o.file << ": " << server.ListenFailure() << "\n";
        return 1;
    }
    out << "Serving " << o.file << " on port " << server.ListeningPort() << ": browse to "
        << RemoteViewAddress(server, o.bind) << std::endl;
    if (!QNIsLoopback(o.bind))
        out << "Anyone who can reach this machine with that address can read the document."
            << std::endl;
    for (;;) {
        int signal = sigwaitinfo(&endSignals, nullptr);
        if (signal == SIGINT || signal == SIGTERM) break;
    }
    server.Stop();
    out << "Stopped." << std::endl;
    return 0;
}
