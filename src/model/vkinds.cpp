#include "model/vkinds.h"

#include "foundation/qarena.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vgroup.h"
#include "model/vreference.h"
#include "model/vtask.h"
#include "model/vtodo.h"

#include <cstring>

namespace {

template <class Kind> VNode* make(VCollection* collection, QArena* arena) {
    return arena ? new (*arena) Kind(collection) : new Kind(collection);
}

struct TagEntry {
    const char* tag;
    VNode* (*make)(VCollection*, QArena*);
};

const TagEntry TAGS[] = {
    {"NGRP", make<VGroup>},   {"TODO", make<VTodo>}, {"TASK", make<VTask>},
    {"CONT", make<VContact>}, {"FACT", make<VFact>}, {"AGRE", make<VAgreement>},
    {"FILE", make<VFile>},    {"CALL", make<VCall>}, {"MAIL", make<VMail>},
    {"PAY1", make<VPay>},     {"URL1", make<VURL>},
};

} // namespace

VNode* MakeNodeForTag(const char tag[4], VCollection* collection, QArena* arena) {
    for (const TagEntry& entry : TAGS) {
        if (std::memcmp(entry.tag, tag, 4) != 0) continue;
        VNode* node = entry.make(collection, arena);
        node->inArena = arena != nullptr;
        return node;
    }
    return nullptr;
}
