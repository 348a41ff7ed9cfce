// Feeds arbitrary bytes to the HTTP request reader over a real socket pair: request line,
// headers, a POST body, query and form decoding. It must neither crash, hang, leak nor
// read beyond what it received.
#include "net/httprequest.h"
#include "net/socket.h"

#include <cstdint>
#include <sys/socket.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return 0;
    // The pair's buffer holds far more than the fuzzer's inputs, so this never blocks.
    size_t done = 0;
    while (done < size) {
        ssize_t sent = send(pair[1], data + done, size - done, MSG_NOSIGNAL);
        if (sent <= 0) break;
        done += sent;
    }
    shutdown(pair[1], SHUT_WR);

    QNHTTPRequest request(nullptr, QNSocket::FromHandle(pair[0], "fuzz"));
    // Everything was sent and the sending side shut: one read comes to an end.
    if (request.ReadAvailable() == QNHTTPRequest::READ) {
        // Everything decoded goes back out, so every text is read to its end.
        request.SetStatus(200);
        request.ResponseHeaders().Add("X-Path", request.Path());
        for (const QNameTable* table : {&request.Query(), &request.Form(), &request.Headers()})
            for (int i = 0; i < table->Count(); ++i) {
                request.Write(table->NameAt(i));
                request.Write(table->ValueAt(i));
            }
        if (const char* root = request.Query().Get("root")) request.Write(root);
        request.Write(request.QueryString());
        if (request.Body()) request.Write(request.Body());
    }
    request.Finish();
    close(pair[1]);
    return 0;
}
