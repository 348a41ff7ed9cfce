#include "interop/ical_uid.h"

#include "model/vcollection.h"

#include <cstdio>
#include <random>

std::string NewUuid() {
    // One generator per thread, seeded from the system's entropy once.
    thread_local std::mt19937_64 generator{[] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }()};
    std::uint64_t high = generator(), low = generator();
    high = (high & ~0xF000ull) | 0x4000ull;               // version 4
    low = (low & ~(0xC000ull << 48)) | (0x8000ull << 48); // variant 10
    char text[40];
    std::snprintf(text, sizeof text, "%08llx-%04llx-%04llx-%04llx-%012llx",
                  (unsigned long long)(high >> 32), (unsigned long long)((high >> 16) & 0xFFFF),
                  (unsigned long long)(high & 0xFFFF), (unsigned long long)(low >> 48),
                  (unsigned long long)(low & 0xFFFFFFFFFFFFull));
    return text;
}

std::string ItemUid(VCollection& collection, const VNode* node, bool& assigned) {
    std::string uid = collection.extensions.Field(node, VExtensions::UID);
    if (uid.empty()) {
        uid = NewUuid();
        collection.extensions.SetField(node, VExtensions::UID, uid);
        assigned = true;
    }
    return uid;
}
