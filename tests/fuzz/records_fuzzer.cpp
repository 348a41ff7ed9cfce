// Feeds arbitrary bytes to the document loader for what the records beside the nodes
// carry: the extension records (schedules with their repeat rules and reminders, the
// sync state in the top folder's record, iCalendar fields) and the text encoding. What
// they hold must be read and used without harm, and a document saved from them must save
// the same bytes after two more loads and saves (each load reverses the nodes' order),
// in the encoding it has and changed to UTF-8.
#include "model/vagenda.h"
#include "model/vcollection.h"
#include "model/vdays.h"
#include "model/vnode.h"
#include "model/vrecurrence.h"
#include "model/vschedule.h"
#include "scratch_files.h"
#include "sync/sync_state.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Saves, then loads and saves three times more: from the first document read back, two
// more loads and saves (each load reverses the list) must give its bytes again. The first
// save itself is not compared: what a damaged file's first reading settled (a node whose
// folder is missing goes to the top, with the records that followed it) may come back in
// another order once.
void checkRoundTrip(VCollection& collection) {
    static const std::string first = ScratchFile("records", "first"),
                             second = ScratchFile("records", "second"),
                             third = ScratchFile("records", "third");
    collection.Save(first.c_str());
    VCollection settled, reversed, again;
    settled.Load(first.c_str());
    settled.Save(second.c_str());
    std::string saved = bytesOf(second);
    reversed.Load(second.c_str());
    reversed.Save(third.c_str());
    again.Load(third.c_str());
    again.Save(third.c_str());
    if (bytesOf(third) != saved) {
        std::fprintf(stderr, "a saved document does not save the same after loading\n");
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static const std::string input = ScratchFile("records", "in");
    WriteScratchFile(input, data, size);
    VCollection collection;
    collection.Load(input.c_str());
    const long today = DayNumber(2026, 1, 5);
    // What the window and the command line do with schedules: read them, store them again,
    // expand the repeats, tick repeating items done and list the agenda.
    for (VNode* node = collection.root->next; node; node = node->next) {
        VSchedule schedule = ScheduleOf(collection, node);
        ReadRuleParts(schedule.rule);
        SetSchedule(collection, node, schedule);
        if (std::optional<VWhen> due = DueOf(collection, node)) {
            NextOccurrence(schedule.rule, *due, *due);
            if (!schedule.rule.empty()) SetItemDone(collection, node, true, today);
        }
    }
    BuildAgenda(collection, today - 7, today + 31, today);
    WriteSyncState(collection, ReadSyncState(collection));
    checkRoundTrip(collection);
    collection.ConvertTexts(TextEncoding::Utf8);
    checkRoundTrip(collection);
    return 0;
}
