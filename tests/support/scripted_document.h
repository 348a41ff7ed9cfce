// A document for view and command tests: a collection, settings in a map, and a count
// of every refresh sequence asked for. Every change tells the item view and marks the
// host modified, as the program's document does.
#pragma once

#include "model/vcollection.h"
#include "platform/document_host.h"
#include "views/view_document.h"
#include "views/viewstate.h"

#include <map>
#include <string>

class ScriptedDocument : public ViewDocument {
  public:
    VCollection* Collection() override { return &collection; }
    DocumentHost* Host() override { return host; }
    int GetGlobalInt(const char* name, int def) override {
        auto found = settings.find(name);
        return found == settings.end() ? def : found->second;
    }
    void SetGlobalInt(const char* name, int value) override { settings[name] = value; }
    void AttachView(ItemViewState* itemView) override { view = itemView; }
    void DetachView(ItemViewState* itemView) override {
        if (view == itemView) view = nullptr;
    }
    void ItemsChanged() override {
        ++itemsChanged;
        changed();
    }
    void ItemEdited(VNode* item) override {
        edited.push_back(item);
        changed();
    }
    void ActivityChanged() override {
        ++activityChanged;
        changed();
    }
    void ViewFlagsChanged() override { ++viewFlagsChanged; }
    void RefreshContactList() override { ++contactListRefreshes; }
    void FolderExpansionChanged(VNode*) override {
        ++expansionChanges;
        changed();
    }
    void NameNextChange(const std::string& name) override { changeNames.push_back(name); }
    void NameNextChangeAs(int command) override { changeCommands.push_back(command); }

    void SetHost(DocumentHost* windows) { host = windows; }

    VCollection collection;
    DocumentHost* host = nullptr;
    ItemViewState* view = nullptr;
    std::map<std::string, int> settings;
    int itemsChanged = 0, activityChanged = 0, viewFlagsChanged = 0, contactListRefreshes = 0;
    int expansionChanges = 0;
    std::vector<std::string> changeNames;
    std::vector<int> changeCommands;
    std::vector<VNode*> edited;

  private:
    void changed() {
        if (view) view->DocumentChanged();
        if (host) host->SetModified(true);
    }
};
