#include "app/commandline.h"

#include "app/version.h"
#include "foundation/qfile.h"
#include "foundation/qinfo.h"
#include "model/vcollection.h"
#include "model/vvisibility.h"
#include "views/viewflags.h"

#include <cstdio>
#include <cstdlib>

namespace {

struct Options {
    std::string mode; // "--list", "--export-html" or "--save-as"
    std::string folder;
    int show = 0;
    std::string filter;
    bool hasDateFormat = false;
    int dateFormat = 0;
    bool byContact = false;
    std::string output; // --save-as
    std::string file;
};

bool parseNumber(const std::string& text, int& value) {
    char* end = nullptr;
    long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end) return false;
    value = (int)number;
    return true;
}

// Fills the options; false (after saying why) for arguments that make no sense.
bool parse(const std::vector<std::string>& args, Options& o, std::ostream& err) {
    o.mode = args[0];
    size_t i = 1;
    if (o.mode == "--save-as") {
        if (args.size() != 3) {
            err << "vantry: --save-as needs OUT and FILE\n";
            return false;
        }
        o.output = args[1];
        o.file = args[2];
        return true;
    }
    for (; i + 1 < args.size(); ++i) {
        const std::string& option = args[i];
        bool takesValue = option == "--folder" || option == "--show" || option == "--filter" ||
                          option == "--date-format";
        if (option == "--by-contact") {
            o.byContact = true;
        } else if (takesValue && i + 2 < args.size()) {
            const std::string& value = args[++i];
            if (option == "--folder")
                o.folder = value;
            else if (option == "--filter")
                o.filter = value;
            else if (option == "--show" &&
                     (!parseNumber(value, o.show) || !StateFilterEntry(o.show))) {
                err << "vantry: Unknown filter '" << value << "' (--show takes 0 to "
                    << STATE_FILTER_ENTRIES - 1 << ")\n";
                return false;
            } else if (option == "--date-format") {
                if (!parseNumber(value, o.dateFormat)) {
                    err << "vantry: --date-format needs a number, not '" << value << "'\n";
                    return false;
                }
                o.hasDateFormat = true;
            }
        } else {
            err << "vantry: unknown or incomplete option '" << option << "'\n";
            return false;
        }
    }
    if (i + 1 != args.size()) {
        err << "vantry: " << o.mode << " needs a FILE\n";
        return false;
    }
    o.file = args[i];
    return true;
}

VNode* findFolder(VCollection& c, const std::string& title) {
    if (title.empty()) return c.root;
    for (VNode* node = c.root; node; node = node->next) {
        if (!IsFolder(node)) continue;
        qstring nodeTitle;
        node->FolderTitle(nodeTitle);
        if (title == nodeTitle.Text()) return node;
    }
    return nullptr;
}

int runView(const Options& o, const std::string& settingsPath, std::ostream& out,
            std::ostream& err) {
    VCollection c;
    c.Load(o.file.c_str());
    if (o.hasDateFormat) {
        c.dateFormat = o.dateFormat;
    } else {
        QInfo settings(settingsPath.c_str());
        c.LoadSettings(settings);
    }
    c.sortMode = o.byContact ? 1 : 0;
    c.filterFlags = FilterFlagsFor(ApplyStateFilter(0, o.show), c.filterFlags);
    qstring text(o.filter.c_str());
    text.ToUpper();
    c.filterText = text;

    VNode* folder = findFolder(c, o.folder);
    if (!folder) {
        err << "vantry: no folder '" << o.folder << "' in " << o.file << "\n";
        return 1;
    }
    c.MakeView(folder);
    if (o.mode == "--export-html") {
        qstring title;
        folder->FolderTitle(title);
        if (!c.ExportHTML(title, folder, false)) {
            err << "vantry: can't write export.htm in this folder\n";
            return 1;
        }
        return 0;
    }
    for (VNode* node = folder->nextShown; node; node = node->nextShown) {
        qstring line;
        node->Describe(line, false);
        out << std::string(2 * node->level, ' ') << line.Text() << "\n";
    }
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
        << "       vantry --help | --version\n"
        << "options:\n"
        << "  --folder PATH      the folder, as \"A / B\" (default: the top folder)\n"
        << "  --show N           state filter: 0 all active items (default), 1 active &&\n"
        << "                     inactive items, 2 only inactive, 3 only finished,\n"
        << "                     4 only waiting-for, 5 all items\n"
        << "  --filter TEXT      only items whose texts hold TEXT (any case)\n"
        << "  --date-format N    0 25-Jun-10, 1 25-06-2010, 2 06-25-2010\n"
        << "                     (default: global.dateformat of vantry.ini)\n"
        << "  --by-contact       sort by contact first\n";
}

int RunCommandLine(const std::vector<std::string>& args, const std::string& settingsPath,
                   std::ostream& out, std::ostream& err) {
    if (args.empty()) return -1;
    const std::string& first = args[0];
    if (first == "--version") {
        out << VANTRY_VERSION_TEXT << "\n";
        return 0;
    }
    if (first == "--help") {
        PrintUsage(out);
        return 0;
    }
    if (first != "--list" && first != "--export-html" && first != "--save-as") {
        if (first.compare(0, 2, "--") != 0) return -1; // a document to open
        err << "vantry: unknown option '" << first << "'\n";
        PrintUsage(err);
        return 1;
    }
    Options o;
    if (!parse(args, o, err)) {
        PrintUsage(err);
        return 1;
    }
    if (QFileSize(o.file.c_str()) < 0) {
        err << "vantry: can't open '" << o.file << "'\n";
        return 1;
    }
    if (o.mode == "--save-as") {
        VCollection c;
        c.Load(o.file.c_str());
        return c.Save(o.output.c_str()) ? 0 : 1;
    }
    return runView(o, settingsPath, out, err);
}
