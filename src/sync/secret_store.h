// The sync password in the desktop's secret store (the Secret Service of GNOME Keyring,
// KeePassXC and others) through libsecret, keyed by the server's URL and the user name.
// It is never written to the document or the settings file. Each call waits for the
// store's answer; when the store cannot be reached or refuses, `error` says why.
#pragma once

#include <optional>
#include <string>

struct SecretKey {
    std::string server; // the calendar collection's URL
    std::string user;
};

// Keeps the password, replacing one kept before under the same key.
bool StoreSyncPassword(const SecretKey& key, const std::string& password, std::string& error);
// The kept password, or none (with `error` empty when the store simply has none).
std::optional<std::string> LookupSyncPassword(const SecretKey& key, std::string& error);
// Forgets the password; true also when none was kept.
bool ClearSyncPassword(const SecretKey& key, std::string& error);
