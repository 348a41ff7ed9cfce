#include "net/request_guard.h"

#include "foundation/qmessage.h"
#include "net/httprequest.h"
#include "net/local_names.h"

#include <algorithm>
#include <random>

void QNRequestGuard::Prepare(const std::string& bindAddress, bool tokenRequired) {
    localNames = QNLocalNames();
    if (!bindAddress.empty()) localNames.push_back(QNHostOfHeader(bindAddress));
    token.clear();
    if (!tokenRequired && QNIsLoopback(bindAddress)) return;
    // Reachable from other machines: a token nobody can guess, new at every start.
    std::random_device random;
    const char* digits = "0123456789abcdef";
    for (int i = 0; i < 32; ++i)
        token += digits[random() % 16];
}

bool QNRequestGuard::Admits(const QNHTTPRequest& request) const {
    const QNameTable& headers = request.Headers();
    if (headers.Times("host") > 1) {
        qtrace(QLOC("QNRequestGuard::Admits"), "Refused a request that names two hosts\n");
        return false;
    }
    if (const char* host = headers.Get("host")) {
        std::string name = QNHostOfHeader(host);
        if (std::find(localNames.begin(), localNames.end(), name) == localNames.end()) {
            qtrace(QLOC("QNRequestGuard::Admits"), "Refused a request for host '%s'\n", host);
            return false;
        }
    }
    if (token.empty()) return true;
    // One key only: with two, whatever reads the first would see another than the one
    // checked here.
    const char* given = request.Query().Get(TOKEN_NAME);
    return given && request.Query().Times(TOKEN_NAME) == 1 && QNSameSecret(token, given);
}

bool QNSameSecret(std::string_view secret, std::string_view given) {
    // Every byte of the secret is compared, whatever came before; the length of a token
    // is no secret.
    volatile unsigned char differs = secret.size() != given.size();
    for (size_t i = 0; i < secret.size(); ++i)
        differs = differs | (unsigned char)(secret[i] ^ (i < given.size() ? given[i] : 0));
    return differs == 0;
}
