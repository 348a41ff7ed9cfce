#include "remoteview/serve_mode.h"

#include "foundation/qfile.h"
#include "foundation/qinfo.h"
#include "model/vcollection.h"
#include "model/vcollviewer.h"
#include "remoteview/httpserver_vantry.h"
#include "remoteview/remote_document.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <pthread.h>

namespace {

struct ServeOptions {
    int port = REMOTE_VIEW_PORT;
    std::string bind; // every local address when empty
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
    collection.Load(o.file.c_str());
    QInfo settings(settingsPath.c_str(), QInfo::READ_ONLY);
    collection.LoadSettings(settings);
    VCollectionViewer viewer(&collection);
    LockedDocument document(viewer);
    QNHTTPServerVantry server(document, o.port, REMOTE_VIEW_WORKERS, false);
    if (!o.bind.empty()) server.SetBindAddress(o.bind.c_str());
    server.Start(true);

    // The server tries a busy port for a minute before it gives up.
    auto giveUp = std::chrono::steady_clock::now() +
                  std::chrono::milliseconds(QNHTTPServer::LISTEN_TRIES *
                                            QNHTTPServer::LISTEN_RETRY_MILLISECONDS) +
                  std::chrono::seconds(2);
    bool announced = false;
    for (;;) {
        timespec wait{0, 100 * 1000 * 1000};
        int signal = sigtimedwait(&endSignals, nullptr, &wait);
        if (signal == SIGINT || signal == SIGTERM) break;
        if (announced) continue;
        int port = server.WaitUntilListening(0);
        if (port > 0) {
            out << "Serving " << o.file << " on port " << port << ": browse to http://"
                << (o.bind.empty() ? "127.0.0.1" : o.bind) << ":" << port << "/" << std::endl;
            announced = true;
        } else if (std::chrono::steady_clock::now() > giveUp) {
            err << "vantry: can't listen on port " << o.port << "\n";
            server.Stop();
            return 1;
        }
    }
    server.Stop();
    out << "Stopped." << std::endl;
    return 0;
}
