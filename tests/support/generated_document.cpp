#include "support/generated_document.h"

#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vgroup.h"
#include "model/vreference.h"
#include "model/vtask.h"
#include "model/vtodo.h"

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

const char* const WORDS[] = {"plan", "call", "report",  "budget", "review", "garden", "invoice",
                             "Anna", "Bo",   "meeting", "draft",  "Zeta",   "offer",  "school"};

struct Generator {
    VCollection& c;
    std::mt19937 random;
    std::vector<VGroup*> folders;
    std::vector<int> depth;
    std::vector<VContact*> contacts;

    int pick(int n) { return (int)(random() % (unsigned)n); }
    std::string words(int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            if (i) text += ' ';
            text += WORDS[pick(sizeof WORDS / sizeof WORDS[0])];
        }
        return text;
    }
    std::string date() {
        char text[32];
        std::snprintf(text, sizeof text, "2026-%02d-%02d", 1 + pick(12), 1 + pick(28));
        return text;
    }
    VNode* folderFor() { return folders[pick((int)folders.size())]; }

    void addFolder(int maxDepth) {
        int parentIndex = pick((int)folders.size());
        while (depth[parentIndex] >= maxDepth)
            parentIndex = pick((int)folders.size());
        auto* folder = new VGroup(&c);
        folder->name = words(1).c_str();
        folder->folderType = pick(10);
        if (pick(8) == 0) folder->flags |= INACTIVE;
        c.Add(folder, folders[parentIndex]);
        folders.push_back(folder);
        depth.push_back(depth[parentIndex] + 1);
    }

    void addItem() {
        VNode* node = nullptr;
        switch (pick(10)) {
        case 0: {
            auto* task = new VTask(&c);
            task->what = words(3).c_str();
            task->priority = pick(4);
            task->completion = pick(101);
            task->duration = 1 + pick(20);
            task->startDate = date().c_str();
            if (pick(5)) task->flags &= ~NO_DATE;
            for (int i = 0; i < pick(3) && !contacts.empty(); ++i)
                task->assignees[i] = contacts[pick((int)contacts.size())];
            node = task;
            break;
        }
        case 1: {
            auto* todo = new VTodo(&c);
            todo->what = words(3).c_str();
            todo->priority = pick(4);
            node = todo;
            break;
        }
        case 2: {
            auto* contact = new VContact(&c);
            contact->firstName = words(1).c_str();
            contact->lastName = words(1).c_str();
            contact->initials = "XY";
            contacts.push_back(contact);
            node = contact;
            break;
        }
        case 3:
        case 4:
        case 5: {
            VCommItem* item = pick(3) == 0   ? (VCommItem*)new VCall(&c)
                              : pick(2) == 0 ? (VCommItem*)new VMail(&c)
                                             : (VCommItem*)new VPay(&c);
            item->who = words(1).c_str();
            item->reason = words(2).c_str();
            item->priority = pick(4);
            node = item;
            break;
        }
        case 6: {
            auto* agreement = new VAgreement(&c);
            agreement->agreedOn = date().c_str();
            node = agreement;
            break;
        }
        case 7: {
            auto* fact = new VFact(&c);
            fact->description = words(4).c_str();
            node = fact;
            break;
        }
        case 8:
            node = new VURL(&c);
            break;
        default:
            node = new VFile(&c);
            break;
        }
        if (pick(10) == 0) node->flags |= DONE;
        if (pick(15) == 0 && (node->tempFlags & CAN_WAIT)) node->flags |= WAITING;
        if (pick(20) == 0) node->flags |= INACTIVE;
        c.Add(node, folderFor());
    }
};

} // namespace

void GenerateDocument(VCollection& collection, const DocumentShape& shape) {
    Generator g{collection, std::mt19937(shape.seed), {collection.root}, {0}, {}};
    for (int i = 0; i < shape.nodes; ++i) {
        if (g.pick(shape.folderEvery) == 0)
            g.addFolder(shape.maxDepth);
        else
            g.addItem();
    }
}
