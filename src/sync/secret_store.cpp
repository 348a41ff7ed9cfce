#include "sync/secret_store.h"

#include <libsecret/secret.h>

namespace {

const SecretSchema* schema() {
    static const SecretSchema vantry = {"org.vantry.SyncPassword",
                                        SECRET_SCHEMA_NONE,
                                        {{"server", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {"user", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
                                        0,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr};
    return &vantry;
}

// No session bus, or nothing on it that answers for the Secret Service.
bool noService(const GError* error) {
    return error->domain == G_IO_ERROR ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SPAWN_SERVICE_NOT_FOUND) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_FILE_NOT_FOUND);
}

// Takes the error over into a message for the user; false when there was none.
bool failed(GError* error, std::string& message) {
    if (!error) return false;
    message = noService(error) ? "No secret service is running, so the desktop can't keep the sync "
                                 "password (start GNOME Keyring or another password store): "
                               : "The desktop's password store refused: ";
    message += error->message;
    g_error_free(error);
    return true;
}

} // namespace

bool DesktopSecretStore::Store(const SecretKey& key, const std::string& password,
                               std::string& error) {
    error.clear();
    std::string label = "Vantry sync: " + key.user + " at " + key.server;
    GError* problem = nullptr;
    secret_password_store_sync(schema(), SECRET_COLLECTION_DEFAULT, label.c_str(), password.c_str(),
                               nullptr, &problem, "server", key.server.c_str(), "user",
                               key.user.c_str(), nullptr);
    return !failed(problem, error);
}

std::optional<std::string> DesktopSecretStore::Lookup(const SecretKey& key, std::string& error) {
    error.clear();
    GError* problem = nullptr;
    gchar* found =
        secret_password_lookup_sync(schema(), nullptr, &problem, "server", key.server.c_str(),
                                    "user", key.user.c_str(), nullptr);
    if (failed(problem, error) || !found) return std::nullopt;
    std::string password = found;
    secret_password_free(found); // wipes the store's copy
    return password;
}

bool DesktopSecretStore::Clear(const SecretKey& key, std::string& error) {
    error.clear();
    GError* problem = nullptr;
    secret_password_clear_sync(schema(), nullptr, &problem, "server", key.server.c_str(), "user",
                               key.user.c_str(), nullptr);
    return !failed(problem, error);
}
