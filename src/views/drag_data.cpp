#include "views/drag_data.h"

#include "model/vcollection.h"

#include <cstdint>
#include <cstdio>

std::string DragDataOf(const VNode& node) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", (unsigned)node.Serial());
    return text;
}

VNode* NodeOfDragData(const VCollection& collection, const std::string& text) {
    // Some platforms hand plain text over with its terminating zero.
    size_t length = text.size();
    if (length == 9 && text[8] == '\0') length = 8;
    if (length != 8) return nullptr;
    std::uint32_t serial = 0;
    for (size_t i = 0; i < 8; ++i) {
        char c = text[i];
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                           : -1;
        if (digit < 0) return nullptr;
        serial = serial << 4 | (std::uint32_t)digit;
    }
    for (VNode* node = collection.root; node; node = node->next)
        if (node->Serial() == serial) return node;
    return nullptr;
}
