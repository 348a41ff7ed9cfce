// Where the window keeps sync passwords, keyed by the server's URL and the user name: the
// desktop's secret store (DesktopSecretStore) in the program, a map in tests. Never the
// document or the settings file. The calls may come from any thread.
#pragma once

#include <optional>
#include <string>

struct SecretKey {
    std::string server; // the calendar collection's URL
    std::string user;
};

class PasswordStore {
  public:
    virtual ~PasswordStore() = default;
    // Keeps the password, replacing one kept before under the same key; false (and
    // `error` saying why) when the store refused or could not be reached.
    virtual bool Store(const SecretKey& key, const std::string& password, std::string& error) = 0;
    // The kept password, or none (with `error` empty when the store simply has none).
    virtual std::optional<std::string> Lookup(const SecretKey& key, std::string& error) = 0;
    // Forgets the password; true also when none was kept.
    virtual bool Clear(const SecretKey& key, std::string& error) = 0;
};

// The installed store, or null (the command line reads passwords from files instead).
inline PasswordStore*& CurrentPasswordStore() {
    static PasswordStore* store = nullptr;
    return store;
}
