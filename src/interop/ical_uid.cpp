#include "interop/ical_uid.h"

#include <libical/ical.h>

#include <cstdio>
#include <random>

std::string UidAsWritten(const std::string& uid) {
    // Written by libical and read back by it: what an export and a later import make of it.
    icalproperty* written = icalproperty_new_uid(uid.c_str());
    char* text = icalproperty_as_ical_string_r(written);
    icalproperty_free(written);
    icalproperty* read = text ? icalproperty_new_from_string(text) : nullptr;
    icalmemory_free_buffer(text);
    const char* value = read ? icalproperty_get_uid(read) : nullptr;
    std::string result = value ? value : uid;
    if (read) icalproperty_free(read);
    icalerror_clear_errno();
    return result;
}

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

std::string NameUid(std::string_view text) {
    std::uint64_t hash = 1469598103934665603ull; // FNV-1a
    for (unsigned char c : text)
        hash = (hash ^ c) * 1099511628211ull;
    char uid[48];
    std::snprintf(uid, sizeof uid, "vantry-%016llx", (unsigned long long)hash);
    return uid;
}

std::unordered_map<const VNode*, std::string>
DeriveUids(const std::vector<UidCandidate>& candidates, std::unordered_set<std::string> inUse) {
    std::unordered_map<std::string_view, int> named;
    for (const UidCandidate& c : candidates)
        ++named[c.name];
    std::unordered_map<const VNode*, std::string> uids;
    for (const UidCandidate& c : candidates) {
        std::string seed = c.name;
        if (named[c.name] > 1) seed += '\0' + c.details;
        // Twins alike in every field take the next free count; so does a name whose UID
        // another item already keeps.
        std::string uid = NameUid(seed);
        for (int count = 1; !inUse.insert(uid).second; ++count)
            uid = NameUid(seed + '\0' + std::to_string(count));
        uids.emplace(c.node, std::move(uid));
    }
    return uids;
}
