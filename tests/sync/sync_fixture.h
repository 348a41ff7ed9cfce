// What the sync tests share: calendar servers they start on loopback (Radicale, Xandikos,
// a misbehaving one), the other device (python3-caldav), the vantry program, and small
// documents.
#pragma once

#include "support/temp_dir.h"
#include "sync/dav_servers.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

// An item's text as a list shows it, without an action's days.
std::string ItemText(const class VNode* node);
// A document's items by UID, as their text.
using DocumentItems = std::map<std::string, std::string>;

class SyncTest : public ::testing::Test {
  protected:
    struct Result {
        int code;
        std::string output;
    };
    // vantry with these arguments (quoted already where needed), in the test's folder.
    Result Vantry(const std::string& arguments);
    // python3-caldav on the server's calendar; its output.
    std::string Device(const std::string& command);
    // The device's list: UID to the rest of its line (SUMMARY, RRULE, alarm triggers).
    std::map<std::string, std::string> DeviceItems();

    // A document of to-dos with these texts in a folder "Work".
    void MakeDocument(const std::string& file, const std::vector<std::string>& texts);
    static DocumentItems Items(const std::string& file);
    // Loads the document, hands it to the change, saves it.
    template <class Change> static void Edit(const std::string& file, Change change);
    // The node of the document whose text (ItemText) is this; fails the test when none is.
    static class VNode* Find(class VCollection& c, const std::string& text);
    // Sets the account (checking it with the password file "password"): accountUrl, or
    // the server's calendar.
    void Connect(const std::string& file);
    // A password file, readable by its owner alone (a sync refuses any other).
    static void WritePasswordFile(const std::string& file, const std::string& password);

    TempDir dir;
    DavServer server;
    std::string accountUrl; // the document's way to the server, when not straight to it
};

#include "model/vcollection.h"

template <class Change> void SyncTest::Edit(const std::string& file, Change change) {
    VCollection c;
    c.Load(file.c_str());
    change(c);
    ASSERT_TRUE(c.Save(file.c_str()));
}
