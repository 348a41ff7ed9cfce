// Passwords for tests: a map behind a lock (the window's sync looks them up on its own
// thread), installed as the program's store while it lives; `refusal` makes it refuse.
#pragma once

#include "sync/password_store.h"

#include <map>
#include <mutex>
#include <utility>

class MapPasswordStore : public PasswordStore {
  public:
    MapPasswordStore() { CurrentPasswordStore() = this; }
    ~MapPasswordStore() override { CurrentPasswordStore() = nullptr; }

    bool Store(const SecretKey& key, const std::string& password, std::string& error) override {
        std::lock_guard<std::mutex> hold(lock);
        if (!(error = refusal).empty()) return false;
        kept[{key.server, key.user}] = password;
        return true;
    }
    std::optional<std::string> Lookup(const SecretKey& key, std::string& error) override {
        std::lock_guard<std::mutex> hold(lock);
        if (!(error = refusal).empty()) return std::nullopt;
        auto it = kept.find({key.server, key.user});
        return it == kept.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    bool Clear(const SecretKey& key, std::string& error) override {
        std::lock_guard<std::mutex> hold(lock);
        if (!(error = refusal).empty()) return false;
        kept.erase({key.server, key.user});
        return true;
    }

    std::mutex lock;
    std::map<std::pair<std::string, std::string>, std::string> kept;
    std::string refusal;
};
