#include "sync/caldav_sync.h"

#include "interop/calendar_objects.h"
#include "interop/ical_bounds.h"
#include "interop/ical_export.h"
#include "interop/ical_import.h"
#include "interop/ical_uid.h"
#include "model/vcollection.h"
#include "sync/dav_xml.h"
#include "sync/http_client.h"

#include <curl/curl.h>

#include <cstdio>
#include <map>
#include <set>
#include <unordered_map>

namespace {

constexpr const char* CONFLICT_MARK = " (conflict, this computer)";
constexpr std::size_t MULTIGET_BATCH = 200;
constexpr std::size_t MAX_WARNINGS = 20;

std::string exportOne(VCollection& c, VNode* node) {
    return ExportICalendar(c, {node}, "").text;
}

// What an item says, whatever its UID.
std::string contentKey(std::string ics, const std::string& uid) {
    std::size_t at = ics.find("\r\nUID:" + uid + "\r\n");
    if (at != std::string::npos) ics.erase(at + 6, uid.size());
    return SyncFingerprint(ics);
}

// The exchange with the server, from the snapshot alone.
class Exchange {
  public:
    Exchange(const SyncSnapshot& s, const SyncOptions& o, SyncResult& r)
        : snapshot(s), options(o), result(r), http(s.state.account.user, o),
          collectionUrl(withSlash(s.state.account.url)), collectionPath(UrlPath(collectionUrl)) {}

    bool Run() {
        if (!usableUrl()) return false;
        const SyncState& state = snapshot.state;
        for (const auto& [uid, item] : state.items)
            uidAt[key(item.href)] = uid;
        // With a token, what changed since is all there is to ask (a server may work
        // through every item to answer anything about the collection's token); the
        // collection itself only when the token is refused or there is none.
        bool listed = false;
        if (!state.token.empty() && !changesSince(state.token, listed)) return false;
        bool named = false;
        if (!listed) {
            DavResponse calendar;
            if (!Check(calendar) || !listAll()) return false;
            result.token = calendar.syncToken;
            result.calendarName = calendar.displayName;
            named = true;
        }
        if (!fetch()) return false;
        // A change not fetched is asked for again: the token stays where it was.
        if (incomplete) result.token = state.token;
        if (!named && !readName()) return false;
        plan();
        int deletes = (int)(deleteHere.size() + deleteThere.size());
        if (!options.allowDeletes && SyncDeleteLimitExceeded(deletes, (int)snapshot.items.size())) {
            result.status = SyncResult::Status::NeedsDeleteConfirmation;
            result.deletesToConfirm = deletes;
            return true;
        }
        if (!write() || !confirmToken()) return false;
        for (auto& [uid, download] : there)
            result.downloaded.push_back(std::move(download));
        if (!importable()) return false;
        result.status = SyncResult::Status::Done;
        return true;
    }

    // The account answers as a calendar collection.
    bool Check(DavResponse& calendar) { return usableUrl() && readCollection(calendar); }

    // Once the exchange is over, whichever way it went: how many warnings were left out,
    // and whether the password went unencrypted.
    void FinishWarnings() {
        if (leftOut)
            result.warnings.push_back(std::to_string(leftOut) +
                                      " more warnings like these were left out");
        if (http.BasicOverHttp())
            result.warnings.push_back("the password went to the server unencrypted (Basic "
                                      "login over http); use an https:// address");
    }

  private:
    static std::string withSlash(std::string url) {
        if (!url.empty() && url.back() != '/') url += '/';
        return url;
    }
    // A server's href as a path, however it writes it.
    std::string key(const std::string& href) const {
        return UrlPath(ResolveUrl(collectionUrl, href));
    }
    std::string url(const std::string& href) const { return ResolveUrl(collectionUrl, href); }

    // The path of a resource of the collection itself: on its server, the collection's
    // path and one segment more. Anything else a server names is skipped with a warning
    // naming it: an answer must not lead the sync to read or write outside the calendar.
    std::string member(const std::string& href) {
        std::string target = url(href);
        std::string path = UrlPath(target);
        bool inside = !target.empty() && SameServer(target, collectionUrl) &&
                      path.size() > collectionPath.size() &&
                      path.compare(0, collectionPath.size(), collectionPath) == 0;
        if (inside) {
            // Decoded, as a server may read it: no dot segment, no slash, no NUL.
            std::string name = UrlDecoded(path.substr(collectionPath.size()));
            inside = !name.empty() && name != "." && name != ".." &&
                     name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
        }
        if (inside) return path;
        warn("the server named \"" + href + "\", which is not in this calendar: skipped");
        return {};
    }
    // A server may name thousands of hrefs: the user reads the first few warnings.
    void warn(const std::string& text) {
        if (!warned.insert(text).second) return;
        if (result.warnings.size() < MAX_WARNINGS)
            result.warnings.push_back(text);
        else
            ++leftOut;
    }

    // A password in the URL would be stored in the document and shown in messages; the
    // URL itself is then never repeated.
    bool usableUrl() {
        const std::string& given = snapshot.state.account.url;
        if (UrlHoldsPassword(given))
            return fail("the account's URL holds a password; set the account again without it");
        return !collectionPath.empty() || fail("\"" + given + "\" is no URL");
    }

    bool fail(const std::string& why) {
        result.status = SyncResult::Status::Failed;
        result.error = why;
        return false;
    }
    bool cancelled() {
        return options.cancel && options.cancel->load() && fail("the sync was cancelled");
    }

    // Sends; false (with the reason) when there was no usable answer: no answer at all, the
    // password refused, the server failing.
    bool send(const std::string& method, const std::string& href, const std::string& body,
              std::vector<std::string> headers, HttpResponse& response) {
        if (cancelled()) return false;
        response = http.Send(method, url(href), body, headers);
        std::string what = method + " " + key(href);
        if (!response.error.empty()) return fail(response.error);
        if (response.status == 401)
            return fail("the server refused the user name \"" + snapshot.state.account.user +
                        "\" or its password (HTTP 401 to " + what + ")");
        if (response.status >= 500)
            return fail("the server failed (HTTP " + std::to_string(response.status) + " to " +
                        what + ")");
        if (response.status >= 300 && response.status < 400)
            return fail("the server answered HTTP " + std::to_string(response.status) + " to " +
                        what + " without saying where to");
        return true;
    }
    bool unexpected(const std::string& method, const std::string& href, long status) {
        return fail("the server answered HTTP " + std::to_string(status) + " to " + method + " " +
                    key(href));
    }
    bool multistatus(const std::string& method, const std::string& href, const char* depth,
                     const std::string& body, DavMultistatus& out, HttpResponse& response) {
        if (!send(method, href, body,
                  {std::string("Depth: ") + depth, "Content-Type: application/xml; charset=utf-8"},
                  response))
            return false;
        if (response.status != 207) return true; // the caller decides
        std::string error;
        if (!ParseMultistatus(response.body, out, error))
            return fail(error + " (" + method + " " + key(href) + ")");
        return true;
    }

    bool readCollection(DavResponse& calendar) {
        DavMultistatus ms;
        HttpResponse response;
        if (!multistatus("PROPFIND", collectionUrl, "0", PropfindBody(), ms, response))
            return false;
        if (response.status == 404)
            return fail("there is no calendar at " + collectionUrl + " (HTTP 404)");
        if (response.status != 207) return unexpected("PROPFIND", collectionUrl, response.status);
        for (DavResponse& r : ms.responses)
            if (key(r.href) == collectionPath) calendar = r;
        if (!calendar.calendar) return fail(collectionUrl + " is no calendar collection");
        return true;
    }

    // The collection's display name, for the folder that new items go to.
    bool readName() {
        bool anyNew = false;
        for (const auto& [uid, download] : there)
            anyNew = anyNew || !snapshot.state.items.count(uid);
        if (!anyNew) return true;
        DavMultistatus ms;
        HttpResponse response;
        if (!multistatus("PROPFIND", collectionUrl, "0", NamePropfindBody(), ms, response))
            return false;
        for (const DavResponse& r : ms.responses)
            if (key(r.href) == collectionPath) result.calendarName = r.displayName;
        return true;
    }

    // Every resource and its ETag; what differs from the state changed there, what the
    // state knows and the listing lacks is gone.
    bool listAll() {
        DavMultistatus ms;
        HttpResponse response;
        if (!multistatus("PROPFIND", collectionUrl, "1", PropfindBody(), ms, response))
            return false;
        if (response.status != 207) return unexpected("PROPFIND", collectionUrl, response.status);
        std::set<std::string> listed;
        for (const DavResponse& r : ms.responses) {
            if (r.collection || key(r.href) == collectionPath || r.status == 404) continue;
            std::string path = member(r.href);
            if (path.empty()) continue;
            listed.insert(path);
            noteChange(path, r.etag);
        }
        for (const auto& [path, uid] : uidAt)
            if (!listed.count(path)) gone.insert(uid);
        return true;
    }

    // RFC 6578: what changed since the token. `listed` stays false when the server no
    // longer knows the token, so everything is listed instead.
    bool changesSince(const std::string& token, bool& listed) {
        DavMultistatus ms;
        HttpResponse response;
        if (!multistatus("REPORT", collectionUrl, "0", SyncCollectionBody(token), ms, response))
            return false;
        if (response.status >= 400) return true; // token expired or refused
        if (response.status != 207) return unexpected("REPORT", collectionUrl, response.status);
        for (const DavResponse& r : ms.responses) {
            if (key(r.href) == collectionPath) continue;
            std::string path = member(r.href);
            if (path.empty()) continue;
            if (r.status == 404) {
                auto it = uidAt.find(path);
                if (it != uidAt.end()) gone.insert(it->second);
            } else {
                noteChange(path, r.etag);
            }
        }
        result.token = ms.syncToken;
        listed = true;
        return true;
    }

    void noteChange(const std::string& path, const std::string& etag) {
        auto it = uidAt.find(path);
        if (it == uidAt.end() || snapshot.state.items.at(it->second).etag != etag || etag.empty())
            changed.push_back(path);
    }

    // The token read before this sync's own writes would show them as changes next time,
    // and an item written now and deleted elsewhere before then not at all (the server
    // sees no difference since the token). So the token moves on past them when the
    // changes since it are exactly these writes; otherwise the next sync lists everything.
    bool confirmToken() {
        if (written.empty() || result.token.empty() || incomplete) return true;
        DavMultistatus ms;
        HttpResponse response;
        if (!multistatus("REPORT", collectionUrl, "0", SyncCollectionBody(result.token), ms,
                         response))
            return false;
        bool onlyOurs = response.status == 207 && !ms.syncToken.empty();
        for (const DavResponse& r : ms.responses) {
            std::string path = key(r.href);
            auto it = written.find(path);
            if (path != collectionPath &&
                (it == written.end() || (r.status == 404) != it->second.empty() ||
                 (r.status != 404 && r.etag != it->second)))
                onlyOurs = false;
        }
        result.token = onlyOurs ? ms.syncToken : std::string();
        return true;
    }

    // Downloads what changed there, a batch at a time.
    bool fetch() {
        for (std::size_t at = 0; at < changed.size(); at += MULTIGET_BATCH) {
            std::vector<std::string> hrefs(changed.begin() + (long)at,
                                           changed.begin() +
                                               (long)std::min(changed.size(), at + MULTIGET_BATCH));
            DavMultistatus ms;
            HttpResponse response;
            if (!multistatus("REPORT", collectionUrl, "1", MultigetBody(hrefs), ms, response))
                return false;
            if (response.status != 207) return unexpected("REPORT", collectionUrl, response.status);
            std::set<std::string> unsent(hrefs.begin(), hrefs.end());
            for (const DavResponse& r : ms.responses) {
                std::string path = member(r.href);
                // A 404 here is no evidence of a delete: only the listing or the sync
                // report says what is gone.
                if (path.empty() || r.status == 404 || r.calendarData.empty()) continue;
                if (!arrived(path, r.etag, r.calendarData)) return false;
                unsent.erase(path);
            }
            for (const std::string& path : unsent)
                warn("the server did not send " + path +
                     "; it is asked for again on the next sync");
            incomplete = incomplete || !unsent.empty();
        }
        return true;
    }

    bool arrived(const std::string& path, const std::string& etag, const std::string& ics) {
        // Said here with its line: past the bounds, ObjectUid would find no item either.
        long line = 0;
        std::string error;
        if (!WithinIcsBounds(ics, line, error))
            return fail("the server's calendar object " + path + " cannot be read: " + error);
        std::string uid = ObjectUid(ics);
        if (uid.empty())
            return fail("the server's calendar object " + path + " holds no readable item");
        gone.erase(uid);
        there[uid] = SyncDownload{uid, path, etag, ics};
        return true;
    }

    // Items new here that the server has under another UID, with the same content: a
    // sync cut short uploaded them before the document could keep their UIDs. They are
    // matched through this program's own export of the server's objects.
    void matchSameItems(const std::map<std::string, const SyncSnapshotItem*>& local) {
        const auto& state = snapshot.state.items;
        std::vector<const std::string*> unclaimed;
        for (const auto& [uid, download] : there)
            if (!local.count(uid) && !state.count(uid)) unclaimed.push_back(&download.ics);
        if (unclaimed.empty()) return;
        VCollection scratch;
        ImportICalendar(scratch, CombinedCalendar(unclaimed, ""));
        std::map<std::string, std::string> byContent;
        for (VNode* node : AllNodes(scratch)) {
            std::string uid = scratch.extensions.Field(node, VExtensions::UID);
            if (!uid.empty()) byContent.emplace(contentKey(exportOne(scratch, node), uid), uid);
        }
        for (const auto& [uid, item] : local) {
            if (state.count(uid) || there.count(uid)) continue;
            auto match = byContent.find(contentKey(item->ics, uid));
            if (match == byContent.end()) continue;
            result.sameItems.push_back({uid, match->second});
            byContent.erase(match);
        }
    }

    // What each side does, item by item.
    void plan() {
        std::map<std::string, const SyncSnapshotItem*> local;
        for (const SyncSnapshotItem& item : snapshot.items)
            local.emplace(item.uid, &item);
        matchSameItems(local);
        std::set<std::string> matched;
        for (const auto& [here, server] : result.sameItems)
            matched.insert(here);
        const auto& state = snapshot.state.items;
        for (const auto& [uid, item] : local) {
            auto known = state.find(uid);
            bool changedHere =
                known == state.end() || known->second.fingerprint != item->fingerprint;
            if (matched.count(uid)) {
                continue; // it comes down under the server's UID
            } else if (there.count(uid)) {
                if (changedHere) result.conflicts.push_back(uid);
            } else if (gone.count(uid)) {
                if (changedHere)
                    upload.push_back({item, nullptr}); // changed here: it goes up again
                else
                    deleteHere.push_back(uid);
            } else if (changedHere) {
                upload.push_back({item, known == state.end() ? nullptr : &known->second});
            }
        }
        for (const auto& [uid, synced] : state)
            if (!local.count(uid)) {
                if (gone.count(uid))
                    forget.push_back(uid);
                else if (!there.count(uid))
                    deleteThere.push_back({uid, &synced}); // changed there: it comes back
            }
    }

    bool write() {
        result.deletedHere = std::move(deleteHere);
        for (const auto& [item, synced] : upload)
            if (!put(*item, synced)) return false;
        for (const auto& [uid, synced] : deleteThere) {
            if (member(synced->href).empty()) { // kept by an older sync: forgotten
                result.deletedHere.push_back(uid);
                continue;
            }
            HttpResponse response;
            if (!send("DELETE", synced->href, "", {"If-Match: " + synced->etag}, response))
                return false;
            if (response.status == 412) {
                if (!refetch(synced->href, uid, synced->etag)) return false;
            } else if (response.status < 300 || response.status == 404) {
                result.deletedThere.push_back(uid);
                written[key(synced->href)] = "";
            } else {
                return unexpected("DELETE", synced->href, response.status);
            }
        }
        for (std::string& uid : forget)
            result.deletedHere.push_back(std::move(uid));
        return true;
    }

    std::string newHref(const std::string& uid) {
        char* name = curl_easy_escape(nullptr, uid.c_str(), (int)uid.size());
        std::string href = collectionPath + (name ? name : "item") + ".ics";
        curl_free(name);
        return href;
    }

    // Uploads with If-Match when the server had the item, else with If-None-Match: *. A
    // failed precondition means it changed there meanwhile: it is downloaded instead.
    bool put(const SyncSnapshotItem& item, const SyncedItem* synced) {
        if (synced && member(synced->href).empty()) synced = nullptr; // goes up as new
        std::string href = synced ? synced->href : newHref(item.uid);
        HttpResponse response;
        if (!send("PUT", href, item.ics,
                  {"Content-Type: text/calendar; charset=utf-8",
                   synced ? "If-Match: " + synced->etag : "If-None-Match: *"},
                  response))
            return false;
        if (response.status == 412) {
            result.conflicts.push_back(item.uid);
            return refetch(href, item.uid, synced ? synced->etag : "");
        }
        if (response.status >= 300) return unexpected("PUT", href, response.status);
        std::string etag = response.etag;
        if (etag.empty()) {
            DavMultistatus ms;
            if (!multistatus("PROPFIND", href, "0", PropfindBody(), ms, response)) return false;
            if (!ms.responses.empty()) etag = ms.responses.front().etag;
        }
        result.uploaded.push_back({item.uid, {key(href), etag, item.fingerprint}});
        written[key(href)] = etag;
        return true;
    }

    // After a failed precondition: the server's version now. The ETag the precondition
    // named must have changed, or the server's ETags are not to be trusted.
    bool refetch(const std::string& href, const std::string& uid, const std::string& refused) {
        HttpResponse response;
        if (!send("GET", href, "", {}, response)) return false;
        if (response.status == 404) {
            result.deletedHere.push_back(uid); // gone there as well: forget it
            return true;
        }
        if (response.status != 200) return unexpected("GET", href, response.status);
        if (!refused.empty() && response.etag == refused)
            return fail("the server refused its own ETag " + refused + " for " + key(href) +
                        " (HTTP 412) and still gives it: its ETags are wrong");
        return arrived(key(href), response.etag, response.body);
    }

    // What came down must import, or nothing is applied.
    bool importable() {
        if (result.downloaded.empty()) return true;
        std::vector<const std::string*> objects;
        for (const SyncDownload& d : result.downloaded)
            objects.push_back(&d.ics);
        VCollection scratch;
        IcsImport check = ImportICalendar(scratch, CombinedCalendar(objects, ""));
        return check.ok || fail("the server's calendar objects cannot be read: " + check.error);
    }

    const SyncSnapshot& snapshot;
    const SyncOptions& options;
    SyncResult& result;
    HttpClient http;
    std::string collectionUrl, collectionPath;
    std::map<std::string, std::string> uidAt;   // the state's items by path
    std::vector<std::string> changed;           // paths changed there
    std::map<std::string, std::string> written; // paths this sync wrote: ETag, \"\" deleted
    std::map<std::string, SyncDownload> there;  // by UID
    std::set<std::string> gone;                 // UIDs gone there
    std::vector<std::pair<const SyncSnapshotItem*, const SyncedItem*>> upload;
    std::vector<std::pair<std::string, const SyncedItem*>> deleteThere;
    std::vector<std::string> deleteHere, forget;
    std::set<std::string> warned;
    std::size_t leftOut = 0; // warnings past MAX_WARNINGS
    bool incomplete = false; // a change the listing or report named did not come
};

std::unordered_map<std::string, VNode*> nodesByUid(const VCollection& c) {
    std::unordered_map<std::string, VNode*> byUid;
    for (VNode* node = c.root->next; node; node = node->next) {
        std::string uid = c.extensions.Field(node, VExtensions::UID);
        if (!uid.empty()) byUid.emplace(uid, node);
    }
    return byUid;
}

} // namespace

bool SyncDeleteLimitExceeded(int deletes, int documentItems) {
    return deletes > 10 || deletes * 10 > documentItems;
}

std::string SyncFingerprint(const std::string& ics) {
    // The export writes its time stamp as one line of its own; everything else counts.
    std::size_t stamp = ics.find("\r\nDTSTAMP:");
    std::size_t after = stamp == std::string::npos ? stamp : ics.find("\r\n", stamp + 2);
    std::uint64_t hash = 1469598103934665603ull;
    for (std::size_t i = 0; i < ics.size(); ++i) {
        if (stamp != std::string::npos && i > stamp && i <= after + 1) continue;
        hash = (hash ^ (unsigned char)ics[i]) * 1099511628211ull;
    }
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", (unsigned long long)hash);
    return text;
}

SyncSnapshot TakeSyncSnapshot(VCollection& collection) {
    HttpClient::Initialise();
    SyncSnapshot snapshot;
    snapshot.state = ReadSyncState(collection);
    // The export gives UIDs to items that lack them; the snapshot keeps them and the
    // document gets its fields back as they were.
    VExtensions before = collection.extensions;
    std::vector<VNode*> nodes = AllNodes(collection);
    GiveItemUids(collection, nodes); // at once: one at a time would derive them n times
    std::set<std::string> seen;
    for (VNode* node : nodes) {
        std::string ics = exportOne(collection, node);
        std::string uid = collection.extensions.Field(node, VExtensions::UID);
        if (uid.empty() || !seen.insert(uid).second) continue; // not exported, or a twin
        SyncSnapshotItem item;
        item.serial = node->Serial();
        item.uid = uid;
        item.newUid = before.Field(node, VExtensions::UID).empty();
        item.fingerprint = SyncFingerprint(ics);
        item.ics = std::move(ics);
        snapshot.items.push_back(std::move(item));
    }
    collection.extensions = std::move(before);
    return snapshot;
}

SyncResult ExchangeWithServer(const SyncSnapshot& snapshot, const SyncOptions& options) {
    SyncResult result;
    if (snapshot.state.account.Empty()) {
        result.error = "the document has no sync account";
        return result;
    }
    Exchange exchange(snapshot, options, result);
    if (!exchange.Run()) result.status = SyncResult::Status::Failed;
    exchange.FinishWarnings();
    return result;
}

SyncApplied ApplySyncResult(VCollection& c, const SyncSnapshot& snapshot,
                            const SyncResult& result) {
    SyncApplied applied;
    if (result.status != SyncResult::Status::Done) return applied;
    SyncState state = ReadSyncState(c);
    if (state.account.url != snapshot.state.account.url) return applied; // another account now

    // The identities the snapshot gave, to the items that still lack them.
    std::unordered_map<std::uint32_t, VNode*> bySerial;
    for (VNode* node = c.root->next; node; node = node->next)
        bySerial.emplace(node->Serial(), node);
    for (const SyncSnapshotItem& item : snapshot.items) {
        auto it = bySerial.find(item.serial);
        if (it == bySerial.end()) continue;
        if (item.newUid && c.extensions.Field(it->second, VExtensions::UID).empty())
            c.extensions.SetField(it->second, VExtensions::UID, item.uid);
    }
    auto byUid = nodesByUid(c);
    for (const auto& [here, server] : result.sameItems)
        if (auto it = byUid.find(here); it != byUid.end() && !byUid.count(server))
            c.extensions.SetField(it->second, VExtensions::UID, server);
    byUid = nodesByUid(c);
    auto find = [&](const std::string& uid) {
        auto it = byUid.find(uid);
        return it == byUid.end() ? nullptr : it->second;
    };
    // Changed here since the last sync (or since the snapshot).
    auto changedHere = [&](VNode* node, const std::string& uid, std::string* text = nullptr) {
        std::string ics = exportOne(c, node);
        auto known = snapshot.state.items.find(uid);
        bool changed = known == snapshot.state.items.end() ||
                       known->second.fingerprint != SyncFingerprint(ics);
        if (text) *text = std::move(ics);
        return changed;
    };

    // What came down first: the import is the one step that could refuse.
    struct Local {
        VNode* node;
        std::string text;
    };
    std::vector<Local> before;
    std::vector<const std::string*> objects;
    for (const SyncDownload& d : result.downloaded) {
        objects.push_back(&d.ics);
        std::string text;
        if (VNode* node = find(d.uid); node && changedHere(node, d.uid, &text))
            before.push_back({node, std::move(text)});
    }
    if (!objects.empty()) {
        IcsImport imported = ImportICalendar(c, CombinedCalendar(objects, result.calendarName));
        if (!imported.ok) return applied; // checked by the exchange; nothing changed
        applied.downloaded = (int)result.downloaded.size();
        byUid = nodesByUid(c);
    }
    // Conflicts: where the server's version differs from this computer's, this
    // computer's is kept as a copy beside it.
    std::vector<std::string> copies;
    std::vector<std::pair<std::string, VNode*>> copyPlaces;
    for (const Local& local : before) {
        if (SyncFingerprint(exportOne(c, local.node)) == SyncFingerprint(local.text)) continue;
        std::string uid = NewUuid();
        copies.push_back(MarkedCopy(local.text, uid, CONFLICT_MARK));
        copyPlaces.push_back({uid, local.node});
        applied.conflictTexts.push_back(ObjectSummary(local.text));
    }
    if (!copies.empty()) {
        std::vector<const std::string*> texts;
        for (const std::string& t : copies)
            texts.push_back(&t);
        ImportICalendar(c, CombinedCalendar(texts, result.calendarName));
        byUid = nodesByUid(c);
        for (const auto& [uid, original] : copyPlaces)
            if (VNode* copy = find(uid)) {
                copy->parent = original->parent;
                c.MoveAfter(copy, original);
            }
    }
    for (const SyncDownload& d : result.downloaded)
        if (VNode* node = find(d.uid))
            state.items[d.uid] = {d.href, d.etag, SyncFingerprint(exportOne(c, node))};

    for (const SyncUpload& u : result.uploaded)
        state.items[u.uid] = u.synced;
    applied.uploaded = (int)result.uploaded.size();
    for (const std::string& uid : result.deletedThere)
        state.items.erase(uid);
    applied.deletedThere = (int)result.deletedThere.size();
    for (const std::string& uid : result.deletedHere) {
        // An item changed since the snapshot stays, and goes up again as new.
        if (VNode* node = find(uid); node && !changedHere(node, uid)) {
            c.Remove(node);
            ++applied.deletedHere;
        }
        state.items.erase(uid);
    }
    state.token = result.token;
    WriteSyncState(c, state);
    applied.changed = true;
    return applied;
}

std::string CheckSyncAccount(const SyncAccount& account, const SyncOptions& options,
                             std::vector<std::string>& warnings) {
    SyncSnapshot probe;
    probe.state.account = account;
    SyncResult result;
    Exchange exchange(probe, options, result);
    DavResponse calendar;
    bool ok = exchange.Check(calendar);
    exchange.FinishWarnings();
    warnings = std::move(result.warnings);
    return ok ? std::string() : result.error;
}

std::string SyncReport(const SyncResult& result, const SyncApplied& applied) {
    if (result.status == SyncResult::Status::Failed)
        return "Sync failed: " + result.error + ". The document is unchanged.";
    if (result.status == SyncResult::Status::NeedsDeleteConfirmation)
        return "The sync would delete " + std::to_string(result.deletesToConfirm) +
               " items; nothing was changed.";
    std::string text = "Sync: " + std::to_string(applied.uploaded) + " uploaded, " +
                       std::to_string(applied.downloaded) + " downloaded, " +
                       std::to_string(applied.deletedThere) + " deleted on the server, " +
                       std::to_string(applied.deletedHere) + " deleted here.";
    if (!applied.conflictTexts.empty()) {
        text += " Changed on both sides, kept twice:";
        for (const std::string& t : applied.conflictTexts)
            text += " \"" + t + "\"";
        text += ".";
    }
    return text;
}
