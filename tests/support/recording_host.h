// A document host for tests: counts what the document asks of the windows and keeps
// the ribbon's contact list.
#pragma once

#include "platform/document_host.h"

class RecordingHost : public DocumentHost {
  public:
    void SetModified(bool on) override { modified = on; }
    void UpdateAllViews() override { ++updates; }
    void RefillTree() override { ++refills; }
    int ContactListSelection() override { return contactSelection; }
    void SetContactList(const std::vector<std::string>& entries, int selected) override {
        contacts = entries;
        contactSelection = selected;
    }

    bool modified = false;
    int updates = 0;
    int refills = 0;
    std::vector<std::string> contacts;
    int contactSelection = 0;
};
