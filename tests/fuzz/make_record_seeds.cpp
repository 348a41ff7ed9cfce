// Writes documents whose records beside the nodes carry data, as the starting corpus of the
// records fuzzer: schedules with repeats and reminders, iCalendar fields, the sync state,
// and the text encoding (Windows-1252 without a record, UTF-8 and a name no reader knows).
#include "model/vcollection.h"
#include "model/vcommitem.h"
#include "model/vdays.h"
#include "model/vgroup.h"
#include "model/vschedule.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "sync/sync_state.h"

#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    std::string folder = argv[1];

    VCollection doc;
    auto* home = new VGroup(&doc);
    home->name = "Home \x80";
    doc.Add(home, doc.root);

    auto* bins = new VTodo(&doc);
    bins->what = "Bins";
    doc.Add(bins, home);
    VSchedule weekly;
    weekly.dueDay = DayNumber(2026, 1, 6);
    weekly.dueMinute = 19 * 60;
    weekly.rule = "FREQ=WEEKLY;INTERVAL=2;BYDAY=TU;COUNT=20";
    weekly.repeatFrom = RepeatFrom::DayDone;
    weekly.reminderMinutes = 30;
    weekly.doneDay = DayNumber(2025, 12, 23);
    weekly.reminderShown = VWhen{DayNumber(2025, 12, 23), 18 * 60 + 30};
    SetSchedule(doc, bins, weekly);
    doc.extensions.SetField(bins, VExtensions::UID, "bins@example.org");
    doc.extensions.SetField(bins, VExtensions::ICAL_KEPT,
                            "BEGIN:VTODO\r\nCATEGORIES:Home\r\nBEGIN:VALARM\r\nACTION:AUDIO\r\n"
                            "TRIGGER:-PT1H\r\nEND:VALARM\r\nEND:VTODO\r\n");
    doc.extensions.SetField(bins, VExtensions::ICAL_STATUS, "IN-PROCESS");

    auto* standup = new VTask(&doc);
    standup->what = "Stand-up";
    standup->flags = 0;
    standup->startDate = "2026-01-05";
    doc.Add(standup, home);
    VSchedule timed;
    timed.startMinute = 9 * 60 + 30;
    timed.endMinute = 9 * 60 + 45;
    timed.rule = "FREQ=WEEKLY;BYDAY=MO,WE,FR;UNTIL=20261231T235959Z";
    timed.reminderMinutes = 0;
    SetSchedule(doc, standup, timed);
    doc.extensions.SetField(standup, VExtensions::ICAL_DESCRIPTION, "Room 1");
    doc.extensions.SetField(standup, VExtensions::ICAL_COMPLETED, "20260101T120000Z");

    auto* call = new VCall(&doc);
    call->who = "Anna";
    doc.Add(call, doc.root);
    VSchedule unreadable;
    unreadable.dueDay = DayNumber(2026, 2, 28);
    unreadable.rule = "FREQ=SOMETIMES";
    SetSchedule(doc, call, unreadable);

    SyncState sync;
    sync.account = {"https://dav.example.org/user/calendar/", "user"};
    sync.token = "http://example.org/sync/42";
    sync.items["bins@example.org"] = {"/user/calendar/bins.ics", "\"e%1\"", "fingerprint\t1"};
    WriteSyncState(doc, sync);
    doc.Save((folder + "/windows-1252.vnt").c_str());

    doc.ConvertTexts(TextEncoding::Utf8);
    bins->what = "Bins \xCE\xA9";
    std::string utf8 = folder + "/utf-8.vnt";
    doc.Save(utf8.c_str());

    // The same with an encoding no reader knows: its texts are read as Windows-1252.
    std::ifstream in(utf8, std::ios::binary);
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    std::size_t name = bytes.find("UTF-8");
    if (name == std::string::npos) return 1;
    bytes.replace(name, 5, "UTF-9");
    std::ofstream(folder + "/unknown-encoding.vnt", std::ios::binary) << bytes;
    return 0;
}
