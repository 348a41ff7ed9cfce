// What a document remembers of its calendar server: the account (one calendar collection
// and a user name; never a password), the server's sync token, and for every item that
// was on the server after the last sync its resource, ETag and what this document's
// export of it was then. All of it lives in the top folder's extension record, so an item
// deleted here is still known to have been on the server.
#pragma once

#include <map>
#include <string>

class VCollection;

struct SyncAccount {
    std::string url;  // the calendar collection, e.g. "https://host/dav/user/calendar/"
    std::string user; // empty: no authentication
    bool Empty() const { return url.empty(); }
};

// One item as it stood on the server after the last sync.
struct SyncedItem {
    std::string href;        // the resource's path on the server
    std::string etag;        // its ETag then
    std::string fingerprint; // this document's export of the item then (SyncFingerprint)
};

struct SyncState {
    SyncAccount account;
    std::string token;                       // RFC 6578 sync token; empty without one
    std::map<std::string, SyncedItem> items; // by UID
};

// Field names in the top folder's extension record.
namespace SyncFields {
constexpr const char* URL = "sync.url";
constexpr const char* USER = "sync.user";
constexpr const char* TOKEN = "sync.token";
constexpr const char* ITEMS = "sync.items";
} // namespace SyncFields

SyncState ReadSyncState(const VCollection& collection);
void WriteSyncState(VCollection& collection, const SyncState& state);
// Sets the account. Another calendar than before starts afresh: its token and item list go
// (the items stay in the document and are uploaded on the next sync).
void SetSyncAccount(VCollection& collection, const SyncAccount& account);
