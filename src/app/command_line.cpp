#include "app/command_line.h"

#include "app/document_files.h"
#include "app/ical_files.h"
#include "app/skedraDoc.h"
#include "app/sync_command_line.h"
#include "app/version.h"
#include "foundation/locale_text.h"
#include "foundation/qclock.h"
#include "foundation/qfile.h"
#include "foundation/qinfo.h"
#include "foundation/qregularfile.h"
#include "model/vagenda.h"
#include "model/vcollection.h"
#include "model/vdays.h"
#include "views/view_flags.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace {

// The date formats --date-format takes: those of the preferences dialog.
constexpr int DATE_FORMATS = 3;
// --agenda without --to: two weeks from its first day.
constexpr int AGENDA_DAYS = 14;

struct Options {
    std::string mode; // "--list", "--export-html", "--save-as", "--export-ics", "--import-ics"
                      // or "--agenda"
    std::string folder;
    int show = 0;
    std::string filter;
    bool hasDateFormat = false;
    int dateFormat = 0;
    bool byContact = false;
    std::string output;   // --save-as, --export-ics: OUT; --import-ics: IN
    std::string from, to; // --agenda's days as given
    std::string file;
};

bool parseNumber(const std::string& text, int& value) {
    char* end = nullptr;
    long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end) return false;
    value = (int)number;
    return true;
}

bool isMode(const std::string& arg) {
    return arg == "--list" || arg == "--export-html" || arg == "--save-as" ||
           arg == "--export-ics" || arg == "--import-ics" || arg == "--agenda";
}

// The modes that name a second file before FILE.
bool namesSecondFile(const std::string& mode) {
    return mode == "--save-as" || mode == "--export-ics" || mode == "--import-ics";
}

std::string secondFileNeed(const std::string& mode) {
    return mode + (mode == "--import-ics" ? " needs IN and" : " needs OUT and");
}

bool takesValue(const std::string& option) {
    return option == "--folder" || option == "--show" || option == "--filter" ||
           option == "--date-format" || option == "--from" || option == "--to" ||
           namesSecondFile(option);
}

// Fills the options, which may come before or after FILE ("--" ends them); false
// (after saying why) for arguments that make no sense.
bool parse(const std::vector<std::string>& args, Options& o, std::ostream& err) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.compare(0, 2, "--") != 0) {
            if (!o.file.empty()) {
                err << "vantry: one FILE only ('" << o.file << "' and '" << arg << "')\n";
                return false;
            }
            o.file = arg;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (isMode(arg)) {
            if (!o.mode.empty() && o.mode != arg) {
                err << "vantry: " << o.mode << " and " << arg << " can't go together\n";
                return false;
            }
            o.mode = arg;
        }
        if (arg == "--by-contact") {
            o.byContact = true;
            continue;
        }
        if (arg == "--list" || arg == "--export-html" || arg == "--agenda") continue;
        if (!takesValue(arg) || i + 1 >= args.size()) {
            if (namesSecondFile(arg))
                err << "vantry: " << secondFileNeed(arg) << " FILE\n";
            else
                err << "vantry: unknown or incomplete option '" << arg << "'\n";
            return false;
        }
        const std::string& value = args[++i];
        if (namesSecondFile(arg)) {
            o.output = value;
        } else if (arg == "--from" || arg == "--to") {
            (arg == "--from" ? o.from : o.to) = value;
        } else if (arg == "--folder") {
            o.folder = value;
        } else if (arg == "--filter") {
            o.filter = value;
        } else if (arg == "--show") {
            if (!parseNumber(value, o.show) || !StateFilterEntry(o.show)) {
                err << "vantry: Unknown filter '" << value << "' (--show takes 0 to "
                    << STATE_FILTER_ENTRIES - 1 << ")\n";
                return false;
            }
        } else if (!parseNumber(value, o.dateFormat) || o.dateFormat < 0 ||
                   o.dateFormat >= DATE_FORMATS) {
            err << "vantry: Unknown date format '" << value << "' (--date-format takes 0 to "
                << DATE_FORMATS - 1 << ")\n";
            return false;
        } else {
            o.hasDateFormat = true;
        }
    }
    if (o.mode.empty()) {
        err << "vantry: these options need --list, --export-html, --export-ics, --import-ics, "
               "--agenda or --save-as\n";
        return false;
    }
    bool viewOptions =
        !o.folder.empty() || o.show || !o.filter.empty() || o.hasDateFormat || o.byContact;
    if (o.mode == "--agenda" && viewOptions) {
        err << "vantry: --agenda takes --from and --to only\n";
        return false;
    }
    if (o.mode != "--agenda" && (!o.from.empty() || !o.to.empty())) {
        err << "vantry: --from and --to go with --agenda\n";
        return false;
    }
    if (o.file.empty()) {
        err << "vantry: "
            << (namesSecondFile(o.mode) ? secondFileNeed(o.mode) : o.mode + " needs a")
            << " FILE\n";
        return false;
    }
    return true;
}

// Nothing at all is at the path (a dangling link is something, and is refused).
bool isMissing(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) != 0 && errno == ENOENT;
}

VNode* findFolder(VCollection& c, const std::string& title) {
    return title.empty() ? c.root : c.FindFolder(title.c_str());
}

// Loads the document; false (after saying so) when the file holds none. A damaged file
// is loaded as far as it goes, with a warning, since what it holds may be all there is.
bool load(VCollection& c, const std::string& file, std::ostream& err, bool* damaged = nullptr) {
    VLoadResult result = c.Load(file.c_str());
    if (!result.isDocument) {
        err << "vantry: " << file << ": not a Vantry document\n";
        return false;
    }
    if (result.Damaged()) err << "vantry: warning: " << result.DamageText(file) << "\n";
    if (damaged) *damaged = result.Damaged();
    return true;
}

// Whether both paths name one file, whatever links or folders lead to it.
bool sameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// The window asks before it saves over a file that was damaged when it was read; here
// nobody can be asked, so a mode that would do it refuses, and the file keeps what could
// not be read for another try. Answers the exit code.
int refuseToSaveOverDamage(const Options& o, const char* reason, std::ostream& err) {
    err << "vantry: " << o.mode << " would save over the damaged " << o.file << reason
        << " and lose what could not be read; nothing was written. Save what could be read "
           "under another name first: vantry --save-as OUT "
        << o.file << "\n";
    return 1;
}

// Saving under another name is the way out of a damaged file; over it, it is refused.
int saveAs(const Options& o, std::ostream& err) {
    VCollection c;
    bool damaged = false;
    if (!load(c, o.file, err, &damaged)) return 1;
    if (damaged && sameFile(o.output, o.file)) return refuseToSaveOverDamage(o, "", err);
    return c.Save(o.output.c_str()) ? 0 : 1;
}

// Items exported for the first time get their UIDs now; the document keeps them, so
// that the next export gives the same ones. Nothing else of it changes, and nothing is
// saved unless the calendar was written.
int exportICalendar(const Options& o, bool damaged, VCollection& c, VNode* folder,
                    std::ostream& out, std::ostream& err) {
    IcsExport exported = ExportICalendar(c, ShownNodes(folder), CalendarName(c, folder));
    if (exported.newIdentities && damaged)
        return refuseToSaveOverDamage(o, " (to keep the items' new UIDs)", err);
    if (o.output == "-") {
        // Standard output carries the calendar alone, for a pipe; it goes out only once
        // the document keeps the UIDs it names.
        if (exported.newIdentities && !c.Save(o.file.c_str())) return 1;
        out.write(exported.text.data(), (std::streamsize)exported.text.size());
        return 0;
    }
    std::string message;
    if (!WriteICalendarFile(exported, o.output.c_str(), message)) {
        err << "vantry: " << message << "\n";
        return 1;
    }
    if (exported.newIdentities && !c.Save(o.file.c_str())) return 1;
    out << message << "\n";
    return 0;
}

// Into a new document when FILE is not there yet (`startsDocument`); one that is there
// must hold a document. Saves only what the import changed: the same items imported
// again leave the file as it is.
int importICalendar(const Options& o, bool startsDocument, std::ostream& out, std::ostream& err) {
    VCollection c;
    bool damaged = false;
    if (!startsDocument && !load(c, o.file, err, &damaged)) return 1;
    std::string before = startsDocument ? std::string() : c.FileBytes();
    std::string message;
    IcsImport imported = ImportICalendarFile(c, o.output.c_str(), message);
    if (!imported.ok) {
        err << "vantry: " << message << "\n";
        return 1;
    }
    if (c.FileBytes() != before) {
        if (damaged) return refuseToSaveOverDamage(o, "", err);
        if (!c.Save(o.file.c_str())) return 1;
    }
    out << message << "\n";
    return 0;
}

// A day given as YYYY-MM-DD; false (after saying so) for anything else.
bool agendaDay(const char* option, const std::string& text, long& day, std::ostream& err) {
    if (ParseDayText(text.c_str(), day)) return true;
    err << "vantry: " << option << " takes a day as YYYY-MM-DD ('" << text << "')\n";
    return false;
}

// One line per occurrence: day, time of day (empty without one), text and folder,
// separated by tabs. A repeat whose occurrences are not all listed is named on the error
// stream, with the moment after which its occurrences are left out.
int printAgenda(const Options& o, const LocaleText& text, std::ostream& out, std::ostream& err) {
    long today = LocalDay(QNow()), from = today, to = 0;
    if (!o.from.empty() && !agendaDay("--from", o.from, from, err)) return 1;
    if (o.to.empty())
        to = from + AGENDA_DAYS - 1;
    else if (!agendaDay("--to", o.to, to, err))
        return 1;
    if (to < from) {
        err << "vantry: --to (" << o.to << ") is before --from\n";
        return 1;
    }
    VCollection c;
    if (!load(c, o.file, err)) return 1;
    std::string lines;
    Agenda agenda = BuildAgenda(c, from, to, today);
    for (const AgendaEntry& e : agenda.entries) {
        lines += DayText(e.when.day) + '\t' + (e.when.minute ? MinuteText(*e.when.minute) : "") +
                 '\t' + text.ToTerminal(e.text, c.textEncoding) + '\t' +
                 text.ToTerminal(e.folder, c.textEncoding) + '\n';
    }
    out << lines;
    for (const AgendaCut& cut : agenda.cut) {
        qstring shown;
        cut.node->Describe(shown, true);
        err << "vantry: \"" << text.ToTerminal(shown.Text(), c.textEncoding)
            << "\": its occurrences after " << DayText(cut.after.day)
            << (cut.after.minute ? " " + MinuteText(*cut.after.minute) : "")
            << " are left out (too many to go through)\n";
    }
    return 0;
}

int runView(const Options& o, const std::string& settingsPath, const LocaleText& text,
            std::ostream& out, std::ostream& err) {
    VCollection c;
    bool damaged = false;
    if (!load(c, o.file, err, &damaged)) return 1;
    if (o.hasDateFormat) {
        c.dateFormat = o.dateFormat;
    } else {
        QInfo settings(settingsPath.c_str(), QInfo::READ_ONLY);
        c.LoadSettings(settings);
    }
    c.sortMode = o.byContact ? 1 : 0;
    c.filterFlags = FilterFlagsFor(ApplyStateFilter(0, o.show), c.filterFlags);
    c.filterText = UpperText(text.ToUtf8(o.filter), TextEncoding::Utf8).c_str();

    VNode* folder = findFolder(c, text.FromTerminal(o.folder, c.textEncoding));
    if (!folder) {
        err << "vantry: no folder '" << o.folder << "' in " << o.file << "\n";
        return 1;
    }
    c.MakeView(folder);
    if (o.mode == "--export-ics") return exportICalendar(o, damaged, c, folder, out, err);
    if (o.mode == "--export-html") {
        qstring title;
        folder->FolderTitle(title);
        if (!c.ExportHTML(title, folder, false)) {
            err << "vantry: can't write export.htm in this folder\n";
            return 1;
        }
        return 0;
    }
    // The lines go out in large pieces, not a stream operation each.
    std::string lines;
    qstring line;
    for (VNode* node = folder->nextShown; node; node = node->nextShown) {
        // The chain runs in tree order, all over memory: fetch the next node while this
        // one is described.
        if (VNode* next = node->nextShown) {
            __builtin_prefetch(next);
            __builtin_prefetch((const char*)next + 64);
        }
        node->Describe(line, false);
        lines.append(2 * (size_t)node->level, ' ');
        lines += text.ToTerminal(line.Text(), c.textEncoding);
        lines += '\n';
        if (lines.size() >= 64 * 1024) {
            out.write(lines.data(), (std::streamsize)lines.size());
            lines.clear();
        }
    }
    out.write(lines.data(), (std::streamsize)lines.size());
    return 0;
}

} // namespace

void PrintUsage(std::ostream& out) {
    out << VANTRY_VERSION_TEXT << "\n"
        << "usage: vantry [FILE.vnt]                open the document in a window\n"
        << "       vantry --list [OPTIONS] FILE     print what a folder shows\n"
        << "       vantry --export-html [OPTIONS] FILE\n"
        << "                                        write that as export.htm here\n"
        << "       vantry --save-as OUT FILE        load FILE and save it as OUT\n"
        << "       vantry --export-ics OUT [OPTIONS] FILE\n"
        << "                                        write what a folder shows as an\n"
        << "                                        iCalendar file (.ics); OUT - is\n"
        << "                                        standard output\n"
        << "       vantry --import-ics IN FILE      add the to-dos and events of an\n"
        << "                                        iCalendar file to FILE (a new\n"
        << "                                        document when FILE is not there)\n"
        << "       vantry --sync-account URL --user NAME [--password-file F] FILE\n"
        << "                                        sync FILE with this CalDAV calendar\n"
        << "                                        (checked when a password is given)\n"
        << "       vantry --sync [--password-file F] [--allow-deletes] FILE\n"
        << "                                        sync FILE with its calendar; more\n"
        << "                                        than 10 deletes (or a tenth) need\n"
        << "                                        --allow-deletes\n"
        << "       vantry --agenda [--from YYYY-MM-DD] [--to YYYY-MM-DD] FILE\n"
        << "                                        print what is due from FROM (today)\n"
        << "                                        to TO (13 days later), overdue items\n"
        << "                                        first: day, time, text and folder,\n"
        << "                                        one occurrence a line, tab-separated\n"
        << "       vantry --serve [--port N] [--bind ADDRESS] FILE\n"
        << "                                        serve the remote view (port 8100)\n"
        << "                                        until interrupted\n"
        << "       vantry --register | --unregister\n"
        << "                                        make the desktop open .vnt files with\n"
        << "                                        this (build-tree) program, or stop\n"
        << "       vantry --help | --version\n"
        << "options (before or after FILE; \"--\" ends them):\n"
        << "  --folder PATH      the folder, as \"A / B\" (default: the top folder)\n"
        << "  --show N           state filter: 0 all active items (default), 1 active &\n"
        << "                     inactive items, 2 only inactive, 3 only finished,\n"
        << "                     4 only waiting-for, 5 all items\n"
        << "  --filter TEXT      only items whose texts hold TEXT (any case)\n"
        << "  --date-format N    0 25-Jun-10, 1 25-06-2010, 2 06-25-2010\n"
        << "                     (default: global.dateformat of vantry.ini)\n"
        << "  --by-contact       sort by contact first\n";
}

int RunCommandLine(const std::vector<std::string>& args, const std::string& settingsPath,
                   std::ostream& out, std::ostream& err) {
    bool anyOption = false, asksForMode = false;
    for (const std::string& arg : args) {
        if (arg == "--") break;
        if (arg == "--version" || arg == "--help") {
            if (arg == "--version")
                out << VANTRY_VERSION_TEXT << "\n";
            else
                PrintUsage(out);
            return 0;
        }
        anyOption = anyOption || arg.compare(0, 2, "--") == 0;
        asksForMode = asksForMode || isMode(arg);
    }
    if (!anyOption) return -1; // nothing, or a document to open in the window
    if (IsSyncCommandLine(args)) return RunSyncCommandLine(args, out, err);
    if (!asksForMode && args.size() == 1) {
        err << "vantry: unknown option '" << args[0] << "'\n";
        PrintUsage(err);
        return 1;
    }
    Options o;
    if (!parse(args, o, err)) {
        PrintUsage(err);
        return 1;
    }
    // Only a regular file is read: a directory, a FIFO or a device ends here, before
    // anything is read or written. An import may start a document in a file not there.
    bool startsDocument = o.mode == "--import-ics" && isMissing(o.file);
    if (!startsDocument && !QIsReadableRegularFile(o.file.c_str())) {
        ReportUnreadable(o.file.c_str());
        return 1;
    }
    if (o.mode == "--save-as") return saveAs(o, err);
    if (o.mode == "--import-ics") return importICalendar(o, startsDocument, out, err);
    if (o.mode == "--agenda") return printAgenda(o, LocaleText::FromEnvironment(), out, err);
    return runView(o, settingsPath, LocaleText::FromEnvironment(), out, err);
}
