// One step of the undo history: exactly the nodes a change touched, as they were before
// and after it, so that undo and redo bring back the same nodes (serial numbers, fields,
// parents, contacts, place in the list).
#pragma once

#include "app/history/document_mirror.h"

#include <cstdint>
#include <string>
#include <vector>

struct NodeImage {
    std::uint32_t serial = 0;
    std::uint32_t parentSerial = 0;
    std::uint32_t flags = 0;
    bool folder = false;
    // For nodes that come and go: the node it follows in the list (0: the root).
    std::uint32_t after = 0;
    std::string record; // as WriteSerialRecords writes it
};

struct DocumentChange {
    std::string name;
    std::vector<NodeImage> removed; // as they were, in list order
    std::vector<NodeImage> added;   // as they are, in list order
    std::vector<NodeImage> before;  // changed nodes, then ...
    std::vector<NodeImage> after;   // ... now, in the same order
    // The whole list's order, only when nodes that stayed changed places.
    std::vector<std::uint32_t> orderBefore, orderAfter;
    std::int32_t dateFormatBefore = 0, dateFormatAfter = 0;
    // A text that Windows-1252 cannot hold changes the document to UTF-8 together with the
    // edit that brought it (every text converted, so most nodes change too).
    TextEncoding encodingBefore = TextEncoding::Windows1252;
    TextEncoding encodingAfter = TextEncoding::Windows1252;
    // The top folder's extension fields, when they changed (a sync, its account).
    VExtensionFields topBefore, topAfter;

    // Whether the document file would change: the date format is a setting, not stored.
    bool ChangesNodes() const {
        return !removed.empty() || !added.empty() || !before.empty() || !orderBefore.empty() ||
               encodingBefore != encodingAfter || topBefore != topAfter;
    }
    bool Empty() const { return !ChangesNodes() && dateFormatBefore == dateFormatAfter; }
    // Whether the folder tree may show something else: a folder came, went or changed,
    // or a node changed folder or activity.
    bool TouchesFolders() const;
};

// What differs between two copies of the document.
DocumentChange CompareMirrors(const DocumentMirror& was, const DocumentMirror& now);
