// DesktopSecretStore: sync passwords in the desktop's secret store (the Secret Service of
// GNOME Keyring, KeePassXC and others) through libsecret, under a schema of this program
// with the server's URL and the user name as attributes. Each call waits for the store's
// answer; when no secret service runs, the error says so.
#pragma once

#include "sync/password_store.h"

class DesktopSecretStore : public PasswordStore {
  public:
    bool Store(const SecretKey& key, const std::string& password, std::string& error) override;
    std::optional<std::string> Lookup(const SecretKey& key, std::string& error) override;
    bool Clear(const SecretKey& key, std::string& error) override;
};
