#include "sync/http_client.h"

#include "sync/caldav_sync.h"

#include <curl/curl.h>
#include <libxml/parser.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace {

constexpr int MAX_REDIRECTS = 5;
// A server that answers at all accepts a connection quickly.
constexpr long CONNECT_SECONDS = 30;

struct UrlFree {
    void operator()(CURLU* u) const { curl_url_cleanup(u); }
};
using Url = std::unique_ptr<CURLU, UrlFree>;

Url parseUrl(const std::string& text) {
    Url url(curl_url());
    if (curl_url_set(url.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) return nullptr;
    return url;
}

std::string part(CURLU* url, CURLUPart which) {
    char* value = nullptr;
    if (curl_url_get(url, which, &value, which == CURLUPART_PORT ? CURLU_DEFAULT_PORT : 0) !=
        CURLUE_OK)
        return {};
    std::string s = value;
    curl_free(value);
    return s;
}

struct Transfer {
    std::string body;
    std::size_t maxBytes;
    bool tooLong = false;
    const std::atomic<bool>* cancel;
};

std::size_t collect(char* data, std::size_t size, std::size_t count, void* self) {
    auto* t = (Transfer*)self;
    std::size_t n = size * count;
    if (t->body.size() + n > t->maxBytes) {
        t->tooLong = true;
        return 0; // stops the transfer
    }
    t->body.append(data, n);
    return n;
}

int progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* t = (Transfer*)self;
    return t->cancel && t->cancel->load() ? 1 : 0;
}

} // namespace

void HttpClient::Initialise() {
    static std::once_flag once;
    std::call_once(once, [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        xmlInitParser();
    });
}

HttpClient::HttpClient(const std::string& u, const SyncOptions& options)
    : curl(nullptr), user(u), password(options.password), caFile(options.caFile),
      authMethods((long)(CURLAUTH_BASIC | CURLAUTH_DIGEST)), timeoutSeconds(options.timeoutSeconds),
      maxBytes(options.maxResponseBytes), cancel(options.cancel) {
    Initialise();
    curl = curl_easy_init();
    // What every request shares; what differs is set in sendOnce. The handle is never
    // reset: that would forget the login the server chose (and a Digest nonce).
    CURL* c = (CURL*)curl;
    if (!c) return;
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caFile.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, caFile.c_str());
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, std::min(timeoutSeconds, CONNECT_SECONDS));
    curl_easy_setopt(c, CURLOPT_TIMEOUT, timeoutSeconds);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    if (!user.empty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, user.c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, password.c_str());
    }
}

HttpClient::~HttpClient() {
    curl_easy_cleanup((CURL*)curl);
}

HttpResponse HttpClient::Send(const std::string& method, const std::string& url,
                              const std::string& body, const std::vector<std::string>& headers) {
    std::string target = url;
    for (int hop = 0;; ++hop) {
        std::string redirect;
        HttpResponse response = sendOnce(method, target, body, headers, redirect);
        if (redirect.empty()) return response;
        if (!SameServer(target, redirect)) {
            response.status = 0;
            response.error = "the server redirected " + method + " " + UrlPath(target) +
                             " to another server (" + redirect + "), which is not followed";
            return response;
        }
        if (hop == MAX_REDIRECTS) {
            response.status = 0;
            response.error =
                "the server redirected more than " + std::to_string(MAX_REDIRECTS) + " times";
            return response;
        }
        target = redirect;
    }
}

HttpResponse HttpClient::sendOnce(const std::string& method, const std::string& url,
                                  const std::string& body, const std::vector<std::string>& headers,
                                  std::string& redirect) {
    CURL* c = (CURL*)curl;
    HttpResponse response;
    if (!c) {
        response.error = "libcurl could not start";
        return response;
    }
    Transfer transfer{{}, maxBytes, false, cancel};
    char errorText[CURL_ERROR_SIZE] = "";
    curl_slist* list = nullptr;
    for (const std::string& h : headers)
        list = curl_slist_append(list, h.c_str());
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L); // no body from the request before
    curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, method.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, list);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
    if (!user.empty()) curl_easy_setopt(c, CURLOPT_HTTPAUTH, authMethods);
    if (!body.empty() || method == "PUT") {
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, (curl_off_t)body.size());
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, body.data());
    }

    CURLcode code = curl_easy_perform(c);
    // Nothing of this request's stays pointed at.
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, nullptr);
    curl_slist_free_all(list);
    if (code == CURLE_OK) keepLogin(url);
    if (code != CURLE_OK) {
        if (transfer.tooLong)
            response.error = "the server's answer to " + method + " is longer than " +
                             std::to_string(maxBytes >> 20) + " MB";
        else if (code == CURLE_ABORTED_BY_CALLBACK)
            response.error = "the sync was cancelled";
        else
            response.error = "can't reach " + url + " (" +
                             (errorText[0] ? errorText : curl_easy_strerror(code)) + ")";
        return response;
    }
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response.status);
    response.body = std::move(transfer.body);
    curl_header* etag = nullptr;
    if (curl_easy_header(c, "ETag", 0, CURLH_HEADER, -1, &etag) == CURLHE_OK)
        response.etag = etag->value;
    if (response.status >= 300 && response.status < 400) {
        char* location = nullptr;
        if (curl_easy_getinfo(c, CURLINFO_REDIRECT_URL, &location) == CURLE_OK && location)
            redirect = location;
    }
    return response;
}

// After the server's first 401 curl answered with the method the server offered (Digest
// before Basic); from now on only that one, which curl sends without asking first.
void HttpClient::keepLogin(const std::string& url) {
    long offered = 0;
    if (user.empty() || authMethods != (long)(CURLAUTH_BASIC | CURLAUTH_DIGEST) ||
        curl_easy_getinfo((CURL*)curl, CURLINFO_HTTPAUTH_AVAIL, &offered) != CURLE_OK)
        return;
    if (offered & CURLAUTH_DIGEST)
        authMethods = CURLAUTH_DIGEST;
    else if (offered & CURLAUTH_BASIC)
        authMethods = CURLAUTH_BASIC;
    Url u = parseUrl(url);
    basicOverHttp =
        authMethods == (long)CURLAUTH_BASIC && u && part(u.get(), CURLUPART_SCHEME) == "http";
}

bool UrlHoldsPassword(const std::string& url) {
    Url u = parseUrl(url);
    return u && !part(u.get(), CURLUPART_PASSWORD).empty();
}

std::string ResolveUrl(const std::string& base, const std::string& reference) {
    Url url = parseUrl(base);
    if (!url || curl_url_set(url.get(), CURLUPART_URL, reference.c_str(), 0) != CURLUE_OK)
        return {};
    return part(url.get(), CURLUPART_URL);
}

std::string UrlPath(const std::string& url) {
    Url u = parseUrl(url);
    return u ? part(u.get(), CURLUPART_PATH) : std::string();
}

bool SameServer(const std::string& a, const std::string& b) {
    Url ua = parseUrl(a), ub = parseUrl(b);
    if (!ua || !ub) return false;
    for (CURLUPart p : {CURLUPART_SCHEME, CURLUPART_HOST, CURLUPART_PORT})
        if (part(ua.get(), p) != part(ub.get(), p)) return false;
    return true;
}

std::string UrlDecoded(const std::string& text) {
    int length = 0;
    char* decoded = curl_easy_unescape(nullptr, text.c_str(), (int)text.size(), &length);
    std::string out = decoded ? std::string(decoded, (std::size_t)length) : std::string();
    curl_free(decoded);
    return out;
}
