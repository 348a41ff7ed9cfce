#include "sync/dav_xml.h"

#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr const char* DAV = "DAV:";
constexpr const char* CALDAV = "urn:ietf:params:xml:ns:caldav";

bool is(const xmlNode* node, const char* ns, const char* name) {
    return node->type == XML_ELEMENT_NODE && node->ns && node->ns->href &&
           !std::strcmp((const char*)node->ns->href, ns) &&
           !std::strcmp((const char*)node->name, name);
}

std::string text(const xmlNode* node) {
    xmlChar* content = xmlNodeGetContent(node);
    std::string s = content ? (const char*)content : "";
    xmlFree(content);
    return s;
}

// "HTTP/1.1 404 Not Found" -> 404
int statusCode(const std::string& line) {
    int code = 0;
    std::sscanf(line.c_str(), "HTTP/%*s %d", &code);
    return code;
}

void readProp(const xmlNode* prop, DavResponse& r) {
    for (const xmlNode* p = prop->children; p; p = p->next) {
        if (is(p, DAV, "getetag"))
            r.etag = text(p);
        else if (is(p, CALDAV, "calendar-data"))
            r.calendarData = text(p);
        else if (is(p, DAV, "displayname"))
            r.displayName = text(p);
        else if (is(p, DAV, "sync-token"))
            r.syncToken = text(p);
        else if (is(p, DAV, "resourcetype"))
            for (const xmlNode* t = p->children; t; t = t->next) {
                r.collection = r.collection || is(t, DAV, "collection");
                r.calendar = r.calendar || is(t, CALDAV, "calendar");
            }
    }
}

void readResponse(const xmlNode* response, DavResponse& r) {
    for (const xmlNode* c = response->children; c; c = c->next) {
        if (is(c, DAV, "href")) {
            r.href = text(c);
        } else if (is(c, DAV, "status")) {
            r.status = statusCode(text(c));
        } else if (is(c, DAV, "propstat")) {
            int status = 0;
            const xmlNode* prop = nullptr;
            for (const xmlNode* p = c->children; p; p = p->next) {
                if (is(p, DAV, "status")) status = statusCode(text(p));
                if (is(p, DAV, "prop")) prop = p;
            }
            // Properties the server does not have come in a propstat of their own (404).
            if (prop && status >= 200 && status < 300) {
                readProp(prop, r);
                if (!r.status) r.status = status;
            }
        }
    }
}

// Text as XML character data, escaped by libxml2.
std::string escapedText(const std::string& s) {
    xmlChar* escaped = xmlEncodeSpecialChars(nullptr, (const xmlChar*)s.c_str());
    std::string out = escaped ? (const char*)escaped : "";
    xmlFree(escaped);
    return out;
}

struct DocFree {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};

} // namespace

bool ParseMultistatus(const std::string& body, DavMultistatus& out, std::string& error) {
    // No network access, no entity expansion, no DTD loading: the answer is data only.
    std::unique_ptr<xmlDoc, DocFree> doc(xmlReadMemory(
        body.data(), (int)body.size(), "answer.xml", nullptr,
        XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOBLANKS));
    if (!doc) {
        const xmlError* e = xmlGetLastError();
        std::string why = e && e->message ? e->message : "unreadable";
        while (!why.empty() && (why.back() == '\n' || why.back() == ' '))
            why.pop_back();
        error = "the server's answer is no readable XML (" + why +
                (e ? ", line " + std::to_string(e->line) : std::string()) + ")";
        return false;
    }
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    if (!root || !is(root, DAV, "multistatus")) {
        error = "the server's answer is no WebDAV multi-status";
        return false;
    }
    for (const xmlNode* c = root->children; c; c = c->next) {
        if (is(c, DAV, "response")) {
            DavResponse r;
            readResponse(c, r);
            if (!r.href.empty()) out.responses.push_back(std::move(r));
        } else if (is(c, DAV, "sync-token")) {
            out.syncToken = text(c);
        }
    }
    return true;
}

std::string PropfindBody() {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<d:propfind xmlns:d=\"DAV:\"><d:prop><d:resourcetype/><d:getetag/>"
           "<d:displayname/><d:sync-token/></d:prop></d:propfind>";
}

std::string NamePropfindBody() {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<d:propfind xmlns:d=\"DAV:\"><d:prop><d:displayname/></d:prop></d:propfind>";
}

std::string SyncCollectionBody(const std::string& token) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<d:sync-collection xmlns:d=\"DAV:\"><d:sync-token>" +
           escapedText(token) +
           "</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop>"
           "</d:sync-collection>";
}

std::string MultigetBody(const std::vector<std::string>& hrefs) {
    std::string body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                       "<c:calendar-multiget xmlns:d=\"DAV:\" "
                       "xmlns:c=\"urn:ietf:params:xml:ns:caldav\">"
                       "<d:prop><d:getetag/><c:calendar-data/></d:prop>";
    for (const std::string& href : hrefs)
        body += "<d:href>" + escapedText(href) + "</d:href>";
    return body + "</c:calendar-multiget>";
}
