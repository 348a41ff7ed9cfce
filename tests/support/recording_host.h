// A document host for tests: counts and lists in order what the document asks of the
// windows, and keeps the ribbon's contact list.
#pragma once

#include "platform/document_host.h"

#include <string>
#include <vector>

class RecordingHost : public DocumentHost {
  public:
    void SetModified(bool on) override {
        modified = on;
        calls.push_back(on ? "modified" : "unmodified");
    }
    void UpdateAllViews() override {
        ++updates;
        calls.push_back("redraw");
    }
    void RefillTree() override {
        ++refills;
        calls.push_back("tree");
    }
    int ContactListSelection() override { return contactSelection; }
    void SetContactList(const std::vector<std::string>& entries, int selected) override {
        contacts = entries;
        contactSelection = selected;
        calls.push_back("contacts");
    }

    bool modified = false;
    int updates = 0;
    int refills = 0;
    std::vector<std::string> contacts;
    std::vector<std::string> calls; // in order: "modified", "redraw", "tree", "contacts"
    int contactSelection = 0;
};
