// Feeds arbitrary bytes to the iCalendar import into an empty document: it must neither
// crash, hang nor leak, and what it imports must export and import again, every item.
#include "interop/ical_export.h"
#include "interop/ical_import.h"
#include "model/vcollection.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    VCollection collection;
    IcsImport imported = ImportICalendar(collection, std::string((const char*)data, size));
    if (!imported.ok) return 0;
    IcsExport exported = ExportICalendar(collection, AllNodes(collection), "Fuzz");
    VCollection again;
    IcsImport back = ImportICalendar(again, exported.text);
    if (!back.ok || back.added != exported.items) {
        std::fprintf(stderr, "the export of an import imports %d of %d items: %s\n", back.added,
                     exported.items, back.error.c_str());
        std::abort();
    }
    return 0;
}
