#include "app/install_layout.h"
#include "app/settings_place.h"
#include "app/skedraDoc.h"
#include "foundation/user_folders.h"
#include "support/file_modes.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gmock/gmock.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using ::testing::HasSubstr;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

// Sets an environment variable for the life of the object, then puts it back.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name(name) {
        if (const char* old = std::getenv(name)) previous = old, had = true;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (had)
            setenv(name, previous.c_str(), 1);
        else
            unsetenv(name);
    }

  private:
    const char* name;
    std::string previous;
    bool had = false;
};

class SettingsPlaceTest : public LogTest {
  protected:
    std::string ConfigHome() const { return dir.File("config"); }
    std::string ProgramFolder() const { return dir.File("bin"); }
    std::string SettingsFile() const { return dir.File("config/vantry/vantry.ini"); }
    void SetUp() override {
        LogTest::SetUp();
        fs::create_directories(ProgramFolder());
    }
};

TEST(XdgDirs, AbsoluteVariableElseTheDefaultUnderHome) {
    ScopedEnv home("HOME", "/home/ann");
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/tmp/cfg");
        EXPECT_EQ(XdgConfigHome(), "/tmp/cfg");
    }
    {
        ScopedEnv config("XDG_CONFIG_HOME", nullptr);
        ScopedEnv data("XDG_DATA_HOME", "");
        EXPECT_EQ(XdgConfigHome(), "/home/ann/.config");
        EXPECT_EQ(XdgDataHome(), "/home/ann/.local/share");
    }
    {
        // A relative value is not a place: the default holds.
        ScopedEnv config("XDG_CONFIG_HOME", "relative/cfg");
        EXPECT_EQ(XdgConfigHome(), "/home/ann/.config");
    }
    // Without HOME the user database still knows the home folder.
    ScopedEnv noHome("HOME", nullptr);
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    const passwd* user = getpwuid(getuid());
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(XdgConfigHome(), std::string(user->pw_dir) + "/.config");
}

TEST(InstallLayout, BuildTreeKeepsEverythingBesideTheProgram) {
    TempDir dir;
    fs::create_directories(dir.File("src"));
    EXPECT_FALSE(IsInstalledLayout(dir.File("src")));
    EXPECT_EQ(ModuleDirectory(dir.File("src")), dir.File("src"));
    EXPECT_EQ(DataDirectory(dir.File("src")), dir.File("src/.."));

    fs::create_directories(dir.File("usr/bin"));
    fs::create_directories(dir.File("usr/lib/vantry"));
    EXPECT_TRUE(IsInstalledLayout(dir.File("usr/bin")));
    EXPECT_EQ(ModuleDirectory(dir.File("usr/bin")), dir.File("usr/bin/../lib/vantry"));
    EXPECT_EQ(DataDirectory(dir.File("usr/bin")), dir.File("usr/bin/../share/vantry"));
}

TEST(SettingsText, OursIsPlainTextWithPairedBraces) {
    struct Case {
        std::string text;
        bool ours;
    } cases[] = {
        {"", true},
        {"global\n{\n  dateformat=1\n}\n", true},
        {"; a comment\r\nglobal { gantt { days_in_view=56 } }\r\n", true},
        {"[General]\nkey=value\n", false},  // another program's INI
        {"global { dateformat=1\n", false}, // cut off
        {"} global {", false},              // braces the wrong way
        {"\x89PNG\r\n\x1a\n\0\0"s, false},  // binary
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsSettingsText(c.text), c.ours) << c.text;
}

TEST_F(SettingsPlaceTest, FirstStartMakesTheFolderUnderTheConfigHome) {
    SettingsPlace place = PrepareSettingsPlace(ConfigHome(), ProgramFolder());
    EXPECT_EQ(place.folder, dir.File("config/vantry"));
    EXPECT_EQ(place.file, SettingsFile());
    EXPECT_TRUE(place.writable);
    EXPECT_EQ(place.problem, "");
    EXPECT_TRUE(fs::is_directory(place.folder));
    EXPECT_FALSE(fs::exists(SettingsFile())); // written only when a setting changes
}

// The settings and the log say what the user works on: the folders the program makes for
// them are the user's alone, whatever the umask would let others read.
TEST_F(SettingsPlaceTest, TheFoldersTheProgramMakesAreItsUsersAlone) {
    ScopedUmask usual(022);
    SettingsPlace place = PrepareSettingsPlace(ConfigHome(), ProgramFolder());
    EXPECT_EQ(FileMode(place.folder), 0700);
    EXPECT_EQ(FileMode(ConfigHome()), 0700) << "a config home made on the way as well";

    ScopedEnv state("XDG_STATE_HOME", dir.File("state").c_str());
    ASSERT_EQ(VantryStateFolder(), dir.File("state/vantry"));
    EXPECT_EQ(FileMode(dir.File("state/vantry")), 0700);
    EXPECT_EQ(FileMode(dir.File("state")), 0700);

    // A folder the user made is left as they made it.
    fs::create_directories(dir.File("own/vantry"));
    ASSERT_EQ(chmod(dir.File("own/vantry").c_str(), 0755), 0);
    EXPECT_EQ(PrepareSettingsPlace(dir.File("own"), ProgramFolder()).problem, "");
    EXPECT_EQ(FileMode(dir.File("own/vantry")), 0755);
}

TEST_F(SettingsPlaceTest, AnOldFileBesideTheProgramIsTakenOverOnce) {
    WriteWholeFile(ProgramFolder() + "/vantry.ini", "global\n{\n  dateformat=2\n}\n");
    SettingsPlace place = PrepareSettingsPlace(ConfigHome(), ProgramFolder());
    EXPECT_EQ(place.problem, "");
    EXPECT_EQ(ReadWholeFile(SettingsFile()), "global\n{\n  dateformat=2\n}\n");
    {
        CSkedraDoc doc(place);
        EXPECT_EQ(doc.Collection()->dateFormat, 2);
        doc.SetGlobalInt("dateformat", 1);
    }
    // The next start keeps what the config folder holds; the old file is not read again.
    WriteWholeFile(ProgramFolder() + "/vantry.ini", "global\n{\n  dateformat=0\n}\n");
    place = PrepareSettingsPlace(ConfigHome(), ProgramFolder());
    CSkedraDoc doc(place);
    EXPECT_EQ(doc.Collection()->dateFormat, 1);
    EXPECT_EQ(SettingsFileToRead(ConfigHome(), ProgramFolder()), SettingsFile());
}

TEST_F(SettingsPlaceTest, HeadlessRunsReadWithoutWriting) {
    EXPECT_EQ(SettingsFileToRead(ConfigHome(), ProgramFolder()), "");
    WriteWholeFile(ProgramFolder() + "/vantry.ini", "global { dateformat=1 }\n");
    EXPECT_EQ(SettingsFileToRead(ConfigHome(), ProgramFolder()), ProgramFolder() + "/vantry.ini");
    EXPECT_FALSE(fs::exists(ConfigHome()));
}

// Each bad place gives one message and a document on the defaults whose settings are never
// written over what is there.
TEST_F(SettingsPlaceTest, BadPlacesRunOnDefaultsWithOneMessage) {
    struct Case {
        const char* name;
        std::function<std::string()> prepare; // answers the config home to use
        const char* message;
    } cases[] = {
        {"a folder where the file should be",
         [&] {
             fs::create_directories(SettingsFile());
             return ConfigHome();
         },
         "is not a file"},
        {"another program's file",
         [&] {
             fs::create_directories(dir.File("config/vantry"));
             WriteWholeFile(SettingsFile(), "[General]\ngeometry=@ByteArray(\\x1)\n");
             return ConfigHome();
         },
         "is not a Vantry settings file; it is left as it is"},
        {"a config home that is a file",
         [&] {
             WriteWholeFile(dir.File("plain-file"), "x");
             return dir.File("plain-file");
         },
         "Can't make the settings folder"},
        {"a config home on a read-only file system", [] { return std::string("/proc/self"); },
         "Can't make the settings folder"},
        {"no home at all", [] { return std::string(); }, "There is no home folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir.File("config"));
        std::string configHome = c.prepare();
        std::string before = ReadWholeFile(SettingsFile());
        SettingsPlace place = PrepareSettingsPlace(configHome, ProgramFolder());
        EXPECT_THAT(place.problem, HasSubstr(c.message));
        EXPECT_FALSE(place.writable);
        {
            CSkedraDoc doc(place);
            EXPECT_EQ(doc.Collection()->dateFormat, 0);
            doc.SetGlobalInt("dateformat", 2);
        }
        EXPECT_EQ(ReadWholeFile(SettingsFile()), before);
    }
}

TEST_F(SettingsPlaceTest, AFileThatCantBeReadOrWrittenIsSaidOnce) {
    fs::create_directories(dir.File("config/vantry"));
    WriteWholeFile(SettingsFile(), "global { dateformat=1 }\n");
    chmod(SettingsFile().c_str(), 0);
    if (access(SettingsFile().c_str(), R_OK) == 0) GTEST_SKIP() << "root reads any file";
    SettingsPlace place = PrepareSettingsPlace(ConfigHome(), ProgramFolder());
    EXPECT_THAT(place.problem, HasSubstr("Can't read the settings file"));
    chmod(SettingsFile().c_str(), 0444);
    place = PrepareSettingsPlace(ConfigHome(), ProgramFolder());
    EXPECT_THAT(place.problem, HasSubstr("can't be written"));
    CSkedraDoc doc(place);
    EXPECT_EQ(doc.Collection()->dateFormat, 1); // what could be read is used
}

} // namespace
