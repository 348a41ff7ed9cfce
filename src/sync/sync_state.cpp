#include "sync/sync_state.h"

#include "model/vcollection.h"

#include <cctype>
#include <cstdio>
#include <sstream>

namespace {

// The item list is one field: a line per item, its fields separated by tabs. A tab, a
// line end or a percent sign inside a field is written as %XX.
std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '%' || c == '\t' || c == '\n' || c == '\r') {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", (unsigned char)c);
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

// A percent sign without two hex digits after it (a damaged document's) is kept as it is.
std::string unescaped(const std::string& text) {
    auto hex = [&](std::size_t at) { return std::isxdigit((unsigned char)text[at]) != 0; };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hex(i + 1) && hex(i + 2)) {
            out += (char)std::stoi(text.substr(i + 1, 2), nullptr, 16);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

SyncState ReadSyncState(const VCollection& collection) {
    const VExtensions& ext = collection.extensions;
    const VNode* top = collection.root;
    SyncState state;
    state.account.url = ext.Field(top, SyncFields::URL);
    state.account.user = ext.Field(top, SyncFields::USER);
    state.token = ext.Field(top, SyncFields::TOKEN);
    std::istringstream lines(ext.Field(top, SyncFields::ITEMS));
    std::string line;
    while (std::getline(lines, line)) {
        std::string field[4];
        std::size_t at = 0;
        for (int i = 0; i < 4; ++i) {
            std::size_t tab = i < 3 ? line.find('\t', at) : line.size();
            if (tab == std::string::npos) break;
            field[i] = unescaped(line.substr(at, tab - at));
            at = tab + 1;
        }
        if (!field[0].empty() && !field[1].empty())
            state.items[field[0]] = {field[1], field[2], field[3]};
    }
    return state;
}

void WriteSyncState(VCollection& collection, const SyncState& state) {
    std::string items;
    for (const auto& [uid, item] : state.items)
        items += escaped(uid) + "\t" + escaped(item.href) + "\t" + escaped(item.etag) + "\t" +
                 escaped(item.fingerprint) + "\n";
    VExtensions& ext = collection.extensions;
    const VNode* top = collection.root;
    ext.SetField(top, SyncFields::URL, state.account.url);
    ext.SetField(top, SyncFields::USER, state.account.user);
    ext.SetField(top, SyncFields::TOKEN, state.token);
    ext.SetField(top, SyncFields::ITEMS, items);
}

void SetSyncAccount(VCollection& collection, const SyncAccount& account) {
    SyncState state = ReadSyncState(collection);
    if (state.account.url != account.url) state = SyncState{};
    state.account = account;
    WriteSyncState(collection, state);
}
