// The real program as a user's shell runs it: a clean environment of our choosing, the
// output and the error stream apart, the exit code.
#include "model/vgroup.h"
#include "model/vtodo.h"
#include "support/model_builders.h"
#include "support/temp_dir.h"
#include "test_paths.h"

#include <cstdio>
#include <filesystem>
#include <gmock/gmock.h>
#include <sys/wait.h>

using ::testing::HasSubstr;

namespace {

class ProgramTest : public ::testing::Test {
  protected:
    struct Result {
        int code = -1;
        std::string out, err;
    };

    // Runs vantry in the test's folder with only PATH, HOME (the test's folder) and the
    // given variables set: no display, no inherited locale.
    Result Run(const std::string& environment, const std::string& arguments) {
        std::string command = "env -i PATH=/usr/bin:/bin HOME='" + dir.Path() + "' " + environment +
                              " " + VANTRY_BINARY + " " + arguments + " 2>stderr.txt";
        Result r;
        std::FILE* pipe = popen(command.c_str(), "r");
        char buffer[4096];
        while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            r.out.append(buffer, n);
        int status = pclose(pipe);
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.err = ReadWholeFile("stderr.txt");
        std::remove("stderr.txt");
        return r;
    }

    void SaveDocument(const char* path) {
        VCollection c;
        auto* work = AddNode<VGroup>(c);
        work->name = "Work";
        AddNode<VTodo>(c, work)->what = "Buy milk";
        ASSERT_TRUE(c.Save(path));
    }

    TempDir dir;
};

TEST_F(ProgramTest, TheLogGoesToTheStateFolderAndTheTerminalStaysQuiet) {
    SaveDocument("doc.vnt");
    Result r = Run("", "--list doc.vnt");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Work\n  Buy milk\n");
    EXPECT_EQ(r.err, "") << "no start marker, no missing settings file, no traces";
    EXPECT_FALSE(std::filesystem::exists("QLOG.txt")) << "nothing left in the current folder";
    EXPECT_THAT(ReadWholeFile(dir.File(".local/state/vantry/QLOG.txt")),
                HasSubstr("--- application start ---"));

    std::filesystem::create_directory("elsewhere");
    r = Run("XDG_STATE_HOME='" + dir.File("elsewhere") + "'", "--list doc.vnt");
    EXPECT_EQ(r.code, 0);
    EXPECT_THAT(ReadWholeFile(dir.File("elsewhere/vantry/QLOG.txt")),
                HasSubstr("VColl:MakeView(root)"))
        << "traces are kept in the log";
    EXPECT_FALSE(std::filesystem::exists("QLOG.txt"));
}

TEST_F(ProgramTest, WithoutADisplayItPointsToTheHeadlessModes) {
    Result r = Run("", "");
    EXPECT_EQ(r.code, 0) << "nothing was asked that could fail";
    EXPECT_THAT(r.err, HasSubstr("there is no display"));
    EXPECT_THAT(r.err, HasSubstr("vantry --list FILE.vnt"));
    SaveDocument("doc.vnt");
    r = Run("", "doc.vnt");
    EXPECT_EQ(r.code, 1) << "a document was asked for and can't be shown";
    EXPECT_THAT(r.err, HasSubstr("there is no display"));
}

// A document whose texts hold letters beyond ASCII, in the file's own bytes (Windows-1252).
void SaveAccentedDocument(const char* path) {
    VCollection c;
    auto* folder = AddNode<VGroup>(c);
    folder->name = "T\xE2"
                   "ches perso";
    AddNode<VTodo>(c, folder)->what = "Appeler Zo\xEB"
                                      " M\xFC"
                                      "ller";
    AddNode<VTodo>(c, folder)->what = "Acheter du pain";
    ASSERT_TRUE(c.Save(path));
}

// Output and arguments follow the locale's character set; the conversion happens in
// one place, so a UTF-8 terminal sees letters and a C or Latin-1 one the bytes it always did.
TEST_F(ProgramTest, ListingAndArgumentsFollowTheLocalesCharacterSet) {
    SaveAccentedDocument("doc.vnt");
    const std::string utf8Folder = "'T\xC3\xA2"
                                   "ches perso'";
    const std::string bytesFolder = "'T\xE2"
                                    "ches perso'";
    struct Case {
        const char* locale;
        std::string folder, filter, line;
    } cases[] = {
        {"LANG=C.UTF-8", utf8Folder, "zo\xC3\xAB", "Appeler Zo\xC3\xAB M\xC3\xBCller\n"},
        {"LC_ALL=C.UTF-8 LANG=C", utf8Folder, "zo\xC3\xAB", "Appeler Zo\xC3\xAB M\xC3\xBCller\n"},
        {"LC_ALL=C", bytesFolder, "zo\xEB", "Appeler Zo\xEB M\xFCller\n"},
        {"LANG=C.UTF-8 LC_ALL=C", bytesFolder, "zo\xEB", "Appeler Zo\xEB M\xFCller\n"},
        {"LANG=fr_FR.ISO-8859-1", bytesFolder, "zo\xEB", "Appeler Zo\xEB M\xFCller\n"},
        {"LANG=fr_FR.CP1252", bytesFolder, "zo\xEB", "Appeler Zo\xEB M\xFCller\n"},
    };
    for (const Case& c : cases) {
        Result r = Run(c.locale, "--list doc.vnt");
        EXPECT_EQ(r.code, 0) << c.locale;
        EXPECT_THAT(r.out, HasSubstr(c.line)) << c.locale;
        r = Run(c.locale, "--list --folder " + c.folder + " --filter '" + c.filter + "' doc.vnt");
        EXPECT_EQ(r.code, 0) << c.locale << r.err;
        EXPECT_EQ(r.out, c.line) << c.locale;
    }
    // A UTF-8 name the document can't spell matches nothing, and says so.
    Result r = Run("LANG=C.UTF-8", "--list --folder '\xE2\x82\xAC\xF0\x9F\x98\x80' doc.vnt");
    EXPECT_EQ(r.code, 1);
    EXPECT_THAT(r.err, HasSubstr("no folder"));
}

// A file that holds no document is refused; a damaged one is read as far as it goes,
// with a warning, since what it holds may be all the user has.
TEST_F(ProgramTest, DamagedFilesAreReadWithAWarningAndNonDocumentsRefused) {
    SaveAccentedDocument("whole.vnt");
    std::string whole = ReadWholeFile("whole.vnt");
    WriteWholeFile("half.vnt", whole.substr(0, whole.size() / 2));
    WriteWholeFile("empty.vnt", "");
    WriteWholeFile("text.vnt", "Dear diary,\ntoday I wrote nothing down.\n");
    for (const char* file : {"empty.vnt", "text.vnt"}) {
        for (const std::string& mode : {std::string("--list"), std::string("--save-as out.vnt")}) {
            Result r = Run("", mode + " " + file);
            EXPECT_EQ(r.code, 1) << mode << " " << file;
            EXPECT_EQ(r.err, std::string("vantry: ") + file + ": not a Vantry document\n");
        }
        EXPECT_FALSE(std::filesystem::exists("out.vnt")) << "nothing written from it";
    }
    Result r = Run("", "--list half.vnt");
    EXPECT_EQ(r.code, 0);
    EXPECT_THAT(r.out, HasSubstr("ches perso\n")) << "what could be read is listed";
    EXPECT_THAT(r.err, HasSubstr("vantry: warning: half.vnt is damaged: only "));
    EXPECT_THAT(r.err,
                HasSubstr(" of " + std::to_string(whole.size() / 2) + " bytes could be read"));
    r = Run("", "--save-as out.vnt half.vnt");
    EXPECT_EQ(r.code, 0);
    EXPECT_THAT(r.err, HasSubstr("vantry: warning: half.vnt is damaged"));
    r = Run("", "--list whole.vnt");
    EXPECT_EQ(r.err, "") << "a whole file is no news";
}

TEST_F(ProgramTest, AnUnknownDateFormatIsRefusedLikeAnUnknownFilter) {
    SaveAccentedDocument("doc.vnt");
    for (const char* format : {"7", "3", "-1"}) {
        Result r = Run("", std::string("--list --date-format ") + format + " doc.vnt");
        EXPECT_EQ(r.code, 1) << format;
        EXPECT_THAT(r.err, HasSubstr(std::string("vantry: Unknown date format '") + format +
                                     "' (--date-format takes 0 to 2)"));
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(Run("", "--list --date-format 2 doc.vnt").code, 0);
}

} // namespace

// The build-tree program registers itself with the desktop only when asked, and takes it
// back on request; a desktop entry somebody else wrote is left alone.
TEST_F(ProgramTest, RegistersWithTheDesktopOnlyWhenAsked) {
    std::string data = dir.File("data");
    std::string entry = data + "/applications/vantry.desktop";
    std::string mime = data + "/mime/packages/vantry.xml";
    std::string environment = "XDG_DATA_HOME='" + data + "'";

    Result r = Run(environment, "--register");
    ASSERT_EQ(r.code, 0) << r.err;
    std::string binary = std::filesystem::canonical(VANTRY_BINARY).string();
    EXPECT_THAT(ReadWholeFile(entry), HasSubstr("Exec=\"" + binary + "\" %f\n"));
    EXPECT_THAT(ReadWholeFile(mime), HasSubstr("<glob pattern=\"*.vnt\"/>"));
    EXPECT_THAT(r.out, HasSubstr("vantry --unregister"));

    r = Run(environment, "--unregister");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_FALSE(std::filesystem::exists(mime));
    r = Run(environment, "--unregister");
    EXPECT_EQ(r.code, 0) << "nothing registered is nothing to fail at: " << r.err;

    std::filesystem::create_directories(data + "/applications");
    WriteWholeFile(entry, "[Desktop Entry]\nType=Application\nName=Vantry (mine)\nExec=vantry\n");
    r = Run(environment, "--unregister");
    EXPECT_EQ(r.code, 1);
    EXPECT_THAT(r.err, HasSubstr("was not written by vantry --register"));
    EXPECT_THAT(ReadWholeFile(entry), HasSubstr("Vantry (mine)")) << "the user's own entry stays";

    r = Run(environment, "--register extra");
    EXPECT_EQ(r.code, 1);
    EXPECT_THAT(r.err, HasSubstr("takes no other argument"));
}
