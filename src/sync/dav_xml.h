// WebDAV multi-status answers (RFC 4918, with the CalDAV and sync-collection properties)
// read through libxml2, and the request bodies this program sends.
#pragma once

#include <string>
#include <vector>

// One <response> of a multi-status answer.
struct DavResponse {
    std::string href;
    int status = 0;           // of the response, or of the propstat that held properties
    std::string etag;         // getetag
    std::string calendarData; // calendar-data
    std::string displayName;
    std::string syncToken;   // a collection's sync-token property
    bool collection = false; // resourcetype holds collection
    bool calendar = false;   // resourcetype holds a CalDAV calendar
};

struct DavMultistatus {
    std::vector<DavResponse> responses;
    std::string syncToken; // sync-collection's new token
};

// False with the reason when the text is no multi-status XML.
bool ParseMultistatus(const std::string& body, DavMultistatus& out, std::string& error);

// Request bodies.
std::string PropfindBody();     // resourcetype, getetag, displayname, sync-token
std::string NamePropfindBody(); // displayname
std::string SyncCollectionBody(const std::string& token);
std::string MultigetBody(const std::vector<std::string>& hrefs);
