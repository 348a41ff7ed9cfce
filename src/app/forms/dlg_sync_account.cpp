#include "app/forms/dlg_sync_account.h"

#include "app/skedraDoc.h"
#include "app/window_sync.h"
#include "model/vcollection.h"
#include "platform/editor.h"
#include "sync/http_client.h"
#include "sync/password_store.h"
#include "sync/sync_state.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

std::string trimmed(const std::string& text) {
    auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    auto begin = std::find_if_not(text.begin(), text.end(), blank);
    auto end = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return begin < end ? std::string(begin, end) : std::string();
}

bool startsWithNoCase(const std::string& text, const char* prefix) {
    std::size_t i = 0;
    for (; prefix[i]; ++i)
        if (i >= text.size() || std::tolower((unsigned char)text[i]) != prefix[i]) return false;
    return text.size() > i;
}

FormOutcome refuse(const char* message) {
    ShowMessage(message, APP_TITLE, MsgButtons::OK, MsgIcon::Warning);
    return FormOutcome::Stay;
}

} // namespace

DlgSyncAccount::DlgSyncAccount(VCollection& source, PasswordStore* store)
    : collection(source), passwords(store) {
    SyncAccount account = ReadSyncState(collection).account;
    url = account.url;
    user = account.user;
    minutes = std::to_string(account.Empty() ? PROPOSED_MINUTES : SyncMinutes(collection));
    std::string error;
    if (passwords && !account.Empty() && !user.empty())
        password = passwords->Lookup({url, user}, error).value_or("");
}

FormOutcome DlgSyncAccount::Validate() {
    url = trimmed(url);
    user = trimmed(user);
    if (!url.empty() && !startsWithNoCase(url, "https://") && !startsWithNoCase(url, "http://"))
        return refuse("The server's address is a URL that starts with https:// (or http://), "
                      "for example https://example.com/dav/calendars/ann/work/.");
    if (UrlHoldsPassword(url))
        return refuse("The server's address holds a password: give the user name and the "
                      "password in their own fields.");
    std::string count = trimmed(minutes);
    auto [end, problem] =
        std::from_chars(count.data(), count.data() + count.size(), checkedMinutes);
    if (count.empty() || problem != std::errc() || end != count.data() + count.size() ||
        checkedMinutes < 0 || checkedMinutes > MAX_SYNC_MINUTES)
        return refuse("Sync every: a number of minutes from 1 to 1440, or 0 to sync only by "
                      "hand.");
    if (url.empty() || user.empty()) return FormOutcome::Accept;
    if (!passwords) return refuse("There is no password store to keep the password in.");
    std::string error;
    bool kept = password.empty() ? passwords->Clear({url, user}, error)
                                 : passwords->Store({url, user}, password, error);
    if (!kept) return refuse(("The password was not kept. " + error).c_str());
    return FormOutcome::Accept;
}

void DlgSyncAccount::Store() {
    // A document that never had an account stays without sync fields.
    if (url.empty() && ReadSyncState(collection).account.Empty()) return;
    SetSyncAccount(collection, url.empty() ? SyncAccount{} : SyncAccount{url, user});
    SetSyncMinutes(collection, url.empty() ? 0 : checkedMinutes);
}

bool RunSyncAccount(CSkedraDoc& document) {
    NodeEditor* editor = CurrentNodeEditor();
    VCollection* collection = document.Collection();
    return editor && collection && editor->EditSyncAccount(*collection);
}
