// The sync password in the Secret Service: run under tests/sync/run-with-keyring.sh (a
// private bus with GNOME Keyring), and once with no bus at all.
#include "sync/secret_store.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

const SecretKey ACCOUNT{"https://cal.example/dav/ann/work/", "ann"};

TEST(SecretStore, KeepsFindsReplacesAndForgetsAPasswordPerServerAndUser) {
    DesktopSecretStore store;
    std::string error;
    EXPECT_EQ(store.Lookup(ACCOUNT, error), std::nullopt);
    EXPECT_EQ(error, "");

    ASSERT_TRUE(store.Store(ACCOUNT, "first p\xC3\xA4ss", error)) << error;
    EXPECT_EQ(store.Lookup(ACCOUNT, error), "first p\xC3\xA4ss");

    // Another user on the same server, and the same user on another calendar, are apart.
    const SecretKey otherUser{ACCOUNT.server, "bob"};
    const SecretKey otherServer{"https://cal.example/dav/ann/home/", "ann"};
    ASSERT_TRUE(store.Store(otherUser, "bobs", error)) << error;
    EXPECT_EQ(store.Lookup(otherServer, error), std::nullopt);

    ASSERT_TRUE(store.Store(ACCOUNT, "second", error)) << error;
    EXPECT_EQ(store.Lookup(ACCOUNT, error), "second");
    EXPECT_EQ(store.Lookup(otherUser, error), "bobs");

    ASSERT_TRUE(store.Clear(ACCOUNT, error)) << error;
    EXPECT_EQ(store.Lookup(ACCOUNT, error), std::nullopt);
    EXPECT_EQ(error, "");
    EXPECT_EQ(store.Lookup(otherUser, error), "bobs");
    EXPECT_TRUE(store.Clear(ACCOUNT, error)) << "forgetting nothing is no error";
}

// Run with DBUS_SESSION_BUS_ADDRESS naming no bus.
TEST(SecretStoreWithoutService, SaysNoSecretServiceRunsAndKeepsNothing) {
    DesktopSecretStore store;
    std::string error;
    EXPECT_FALSE(store.Store(ACCOUNT, "secret", error));
    EXPECT_EQ(error.rfind("No secret service is running", 0), 0u) << error;
    EXPECT_EQ(store.Lookup(ACCOUNT, error), std::nullopt);
    EXPECT_EQ(error.rfind("No secret service is running", 0), 0u) << error;
    EXPECT_FALSE(store.Clear(ACCOUNT, error));
    EXPECT_NE(error, "");
}

} // namespace
