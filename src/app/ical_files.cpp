#include "app/ical_files.h"

#include "foundation/qregularfile.h"
#include "foundation/qreplace.h"
#include "model/vcollection.h"

#include <cerrno>
#include <cstring>

bool ExportICalendarFile(VCollection& collection, const std::vector<VNode*>& nodes,
                         const std::string& calendarName, const char* path, IcsExport& exported,
                         std::string& message) {
    exported = ExportICalendar(collection, nodes, calendarName);
    return WriteICalendarFile(exported, path, message);
}

bool WriteICalendarFile(const IcsExport& exported, const char* path, std::string& message) {
    QReplaceResult written = QReplaceFile(path, exported.text.data(), (long)exported.text.size());
    if (!written.ok()) {
        message = VCollection::SaveFailureText(path, written);
        return false;
    }
    message = "Exported " + std::to_string(exported.items) + " items to " + path + ".";
    return true;
}

IcsImport ImportICalendarFile(VCollection& collection, const char* path, std::string& message) {
    IcsImport result;
    std::string bytes;
    if (!QReadRegularFile(path, bytes)) {
        message = std::string("Can't open file (") + path + "): " + std::strerror(errno) +
                  ". Nothing was imported.";
        return result;
    }
    result = ImportICalendar(collection, bytes);
    if (!result.ok) {
        message =
            std::string("Can't import ") + path + ": " + result.error + ". Nothing was imported.";
        return result;
    }
    message = "Imported " + std::to_string(result.added) + " new and " +
              std::to_string(result.updated) + " updated items from " + path + ".";
    for (const std::string& note : result.notes)
        message += "\nNote: " + note + ".";
    return result;
}
