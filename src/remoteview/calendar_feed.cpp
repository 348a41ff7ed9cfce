#include "remoteview/calendar_feed.h"

#include "interop/ical_export.h"
#include "model/vcollection.h"

std::shared_ptr<const std::string> CalendarFeed::Of(VCollection& collection, std::uint64_t sequence,
                                                    const std::function<bool()>& abandon) {
    if (text && builtFor == &collection && builtIn == sequence) return text;
    text.reset(); // the old one goes before the new one is built, not after
    IcsExport feed = ExportICalendar(collection, AllNodes(collection),
                                     CalendarName(collection, collection.root), abandon);
    if (feed.abandoned) return nullptr;
    text = std::make_shared<const std::string>(std::move(feed.text));
    builtFor = &collection;
    builtIn = sequence;
    return text;
}
