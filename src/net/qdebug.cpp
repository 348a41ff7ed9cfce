#include "net/qdebug.h"

#include "foundation/qinfo.h"
#include "foundation/qmessage.h"
#include "net/global.h"
#include "net/socket.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

std::atomic<bool> openglChecks{false};
std::atomic<bool> argumentTracing{false};

// The UDP debugging output; the log writer's hook keeps it for the rest of the process.
struct UdpOutput {
    std::unique_ptr<QNSocket> socket;
    QNAddress target;
};
// Messages raised while a datagram is on its way (the socket layer logs its own
// failures) are not sent again.
std::atomic<bool> sending{false};

void sendDatagram(const std::shared_ptr<UdpOutput>& output, const char* text) {
    if (sending.exchange(true)) return;
    int length = (int)std::strlen(text);
    output->socket->Write(text, length < QDBG_UDP_MAX ? length : QDBG_UDP_MAX, &output->target);
    sending = false;
}

bool openUdpOutput(const qstring& value) {
    int colon = value.Find(':');
    if (colon < 0) {
        qwarn(QLOC("qdbg_setup"), "qdbg_setup: need host:port in dev_udpout (now '%s')",
              value.Text());
        return false;
    }
    qstring host = value.GetSubstring(0, colon - 1);
    int port = std::atoi(value.Text() + colon + 1);
    auto output = std::make_shared<UdpOutput>();
    output->socket = std::make_unique<QNSocket>(QNSocket::UDP, "qdbg");
    if (!output->socket->Open(port, 0, host)) {
        qwarn(QLOC("qdbg_setup"), "qdbg_setup: can't open %s:%d", host.Text(), port);
        return false;
    }
    output->socket->SetNonBlocking(true);
    if (!output->target.GetByName(host)) return false;
    output->target.SetPort(port);
    qlog_set_udp_output([output](const char* text) { sendDatagram(output, text); });
    return true;
}

} // namespace

void qdbg_setup(QInfo& settings) {
    qstring runFirst;
    settings.GetString("dev.run_first", runFirst);
    if (!runFirst.IsEmpty()) {
        int status = std::system(runFirst);
        (void)status; // a developer aid: its outcome shows in its own output
    }

    // The network start-up resets the numbers below; start it first so they stay.
    qnInit();
    int offset = settings.GetInt("dev.port_offset", 0);
    if (offset > 0) qnSetPortOffset(offset);
    int drops = settings.GetInt("dev.fake_packet_drops", 0);
    if (drops > 0) qnSetDropPercentage(drops);

    qstring udp;
    settings.GetString("dev.udp_out", udp);
    if (!udp.IsEmpty() && !openUdpOutput(udp)) return;

    if ((settings.GetInt("dev.log_last", 0) || settings.GetInt("dev.strict", 0)) &&
        !qlog_last_log()) {
        if (std::FILE* last = qlog_open(qlog_path(QLOG_LAST_FILE), false)) qlog_set_last_log(last);
    }
    if (settings.GetBool("dev.opengl_checks", false)) {
        qwarn(QLOC("qdbg_setup"), "dev.opengl_checks is 1; may slow the program down - only use "
                                  "when tracking down a bug");
        openglChecks = true;
    }
    if (settings.GetBool("dev.argument_tracing", false)) {
        qwarn(
            QLOC("qdbg_setup"),
            "dev.argument_tracing is 1; may slow the program down - only use when tracking down a "
            "bug");
        argumentTracing = true;
    }
}

bool qdbg_opengl_checks() {
    return openglChecks;
}
bool qdbg_argument_tracing() {
    return argumentTracing;
}
