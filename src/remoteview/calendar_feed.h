// CalendarFeed: the whole document as one iCalendar file, for calendar programs that
// subscribe to /calendar.ics. Built once for each change sequence of the document and
// shared, as it stands, by every response that sends it: many clients cost one build and
// one copy, however slowly they read.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class VCollection;

class CalendarFeed {
  public:
    // Inside RemoteDocument::Run: the feed of the document in this change sequence, built
    // now unless it was already. Null when `abandon` answered true during the build.
    std::shared_ptr<const std::string> Of(VCollection& collection, std::uint64_t sequence,
                                          const std::function<bool()>& abandon = {});

  private:
    const VCollection* builtFor = nullptr;
    std::uint64_t builtIn = 0;
    std::shared_ptr<const std::string> text;
};
