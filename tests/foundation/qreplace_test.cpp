#include "foundation/qreplace.h"

#include "foundation/qfile.h"
#include "foundation/qregularfile.h"
#include "support/file_size_limit.h"
#include "support/log_capture.h"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class ReplaceTest : public LogTest {
  protected:
    // Names in the working folder other than the given ones: a temporary left behind.
    std::vector<std::string> Leftovers(std::initializer_list<std::string> expected) {
        std::vector<std::string> extra;
        for (const auto& entry : fs::directory_iterator(dir.Path())) {
            std::string name = entry.path().filename().string();
            if (name == "QLOG.txt") continue;
            bool known = false;
            for (const std::string& e : expected)
                known = known || e == name;
            if (!known) extra.push_back(name);
        }
        return extra;
    }
};

TEST_F(ReplaceTest, ReplacesAFileKeepingItsPermissions) {
    WriteWholeFile("doc.vnt", "old");
    chmod("doc.vnt", 0640);
    ASSERT_TRUE(QReplaceFile("doc.vnt", "new bytes", 9).ok());
    EXPECT_EQ(ReadWholeFile("doc.vnt"), "new bytes");
    struct stat info {};
    ASSERT_EQ(stat("doc.vnt", &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    QReplaceResult fresh = QReplaceFile("new.vnt", "x", 1);
    EXPECT_TRUE(fresh.ok());
    EXPECT_FALSE(fresh.targetExisted);
    EXPECT_EQ(ReadWholeFile("new.vnt"), "x");
    EXPECT_TRUE(Leftovers({"doc.vnt", "new.vnt"}).empty());
}

TEST_F(ReplaceTest, AFullDiskLeavesTheTargetByteForByte) {
    std::string before(3000, 'o');
    WriteWholeFile("doc.vnt", before);
    std::string bigger(before.size() * 3, 'n');
    QReplaceResult result;
    {
        FileSizeLimit full(before.size() + 10);
        result = QReplaceFile("doc.vnt", bigger.data(), (long)bigger.size());
    }
    EXPECT_EQ(result.step, QReplaceStep::Write);
    EXPECT_EQ(result.error, EFBIG);
    EXPECT_TRUE(result.targetExisted);
    EXPECT_EQ(ReadWholeFile("doc.vnt"), before);
    EXPECT_TRUE(Leftovers({"doc.vnt"}).empty()) << "the temporary goes";

    // A writer that fails on its own is a failure too.
    result = QReplaceFile("doc.vnt", [](const char* temporary) {
        WriteWholeFile(temporary, "half");
        return false;
    });
    EXPECT_EQ(result.step, QReplaceStep::Write);
    EXPECT_EQ(ReadWholeFile("doc.vnt"), before);
    EXPECT_TRUE(Leftovers({"doc.vnt"}).empty());
}

TEST_F(ReplaceTest, SavingThroughALinkChangesTheFileAndKeepsTheLink) {
    fs::create_directories("real/deeper");
    WriteWholeFile("real/deeper/doc.vnt", "old");
    fs::create_directory_symlink("real", "elsewhere");
    // A relative link resolved from the link's own folder, through a second link.
    fs::create_symlink("deeper/doc.vnt", "real/link.vnt");
    fs::create_symlink("elsewhere/link.vnt", "top.vnt");

    qstring resolved;
    ASSERT_TRUE(QResolveLinks("top.vnt", resolved));
    EXPECT_STREQ(resolved.Text(), "elsewhere/deeper/doc.vnt");

    ASSERT_TRUE(QReplaceFile("top.vnt", "new", 3).ok());
    EXPECT_TRUE(fs::is_symlink("top.vnt"));
    EXPECT_TRUE(fs::is_symlink("real/link.vnt"));
    EXPECT_EQ(ReadWholeFile("real/deeper/doc.vnt"), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator("real/deeper"), fs::directory_iterator{}), 1)
        << "the temporary was made beside the real file and is gone";

    // A link to a file not made yet creates it where the link points.
    fs::create_symlink("real/later.vnt", "later.vnt");
    ASSERT_TRUE(QReplaceFile("later.vnt", "made", 4).ok());
    EXPECT_TRUE(fs::is_symlink("later.vnt"));
    EXPECT_EQ(ReadWholeFile("real/later.vnt"), "made");

    fs::create_symlink("loop-b", "loop-a");
    fs::create_symlink("loop-a", "loop-b");
    EXPECT_FALSE(QResolveLinks("loop-a", resolved));
    EXPECT_EQ(QReplaceFile("loop-a", "x", 1).step, QReplaceStep::Links);
}

// Another local user ("nobody") can plant a link in the temporary folder under the name
// a save is about to use. The kernel would not follow it for us; a save that follows
// links by hand must not either, or it overwrites one of our files.
TEST_F(ReplaceTest, AnotherUsersLinkInASharedFolderIsNeverFollowed) {
    constexpr uid_t OTHER = 65534;
    fs::create_directory("shared"); // as the temporary folder: sticky, anyone may write
    fs::create_directory("open");   // anyone may write, not sticky
    fs::create_directory("theirs"); // sticky, and the other user's own
    ASSERT_EQ(chmod("shared", 01777), 0);
    ASSERT_EQ(chmod("open", 0777), 0);
    ASSERT_EQ(chmod("theirs", 01777), 0);
    if (chown("theirs", OTHER, OTHER) != 0) GTEST_SKIP() << "giving files away needs root";

    struct Case {
        const char* link;
        uid_t owner;
        bool refused;
    } cases[] = {
        {"shared/planted.vnt", OTHER, true},
        {"shared/mine.vnt", geteuid(), false},
        {"open/planted.vnt", OTHER, false},
        {"theirs/planted.vnt", OTHER, false}, // the folder's owner may link in it
    };
    for (const Case& c : cases) {
        WriteWholeFile("victim.vnt", "precious");
        fs::create_symlink(dir.File("victim.vnt"), c.link);
        ASSERT_EQ(lchown(c.link, c.owner, c.owner), 0) << c.link;
        QReplaceResult result = QReplaceFile(c.link, "new", 3);
        if (c.refused) {
            EXPECT_EQ(result.step, QReplaceStep::ForeignLink) << c.link;
            EXPECT_EQ(result.error, EACCES) << c.link;
            EXPECT_EQ(ReadWholeFile("victim.vnt"), "precious") << c.link;
        } else {
            EXPECT_TRUE(result.ok()) << c.link;
            EXPECT_EQ(ReadWholeFile("victim.vnt"), "new") << c.link;
        }
        EXPECT_TRUE(fs::is_symlink(c.link)) << c.link;
    }
    // Through a link of our own first: every link on the way is looked at.
    WriteWholeFile("victim.vnt", "precious");
    fs::create_symlink("shared/planted.vnt", "mine.vnt");
    EXPECT_EQ(QReplaceFile("mine.vnt", "new", 3).step, QReplaceStep::ForeignLink);
    EXPECT_EQ(ReadWholeFile("victim.vnt"), "precious");
    qstring resolved;
    EXPECT_FALSE(QResolveLinks("mine.vnt", resolved));
    EXPECT_EQ(errno, EACCES);
    for (auto [folder, links] : {std::pair{"shared", 2}, {"open", 1}, {"theirs", 1}})
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}), links)
            << folder << ": the links alone, no temporary left";
    EXPECT_TRUE(Leftovers({"shared", "open", "theirs", "victim.vnt", "mine.vnt"}).empty());
}

TEST_F(ReplaceTest, ANameNearTheLimitStillSaves) {
    std::string name(246, 'n');
    name += ".vnt"; // 250 bytes
    WriteWholeFile(name, "old");
    ASSERT_TRUE(QReplaceFile(name.c_str(), "new", 3).ok());
    EXPECT_EQ(ReadWholeFile(name), "new");
    EXPECT_TRUE(Leftovers({name}).empty());
}

TEST_F(ReplaceTest, WhatIsNoFileIsNeverReplaced) {
    fs::create_directory("folder");
    ASSERT_EQ(mkfifo("pipe", 0600), 0);
    for (const char* target : {"folder", "pipe", "/dev/null"}) {
        QReplaceResult result = QReplaceFile(target, "x", 1);
        EXPECT_EQ(result.step, QReplaceStep::NotAFile) << target;
    }
    EXPECT_TRUE(fs::is_directory("folder"));
    EXPECT_TRUE(fs::is_fifo("pipe"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(QReplaceFile("no/such/folder/doc.vnt", "x", 1).step, QReplaceStep::Temporary);
    EXPECT_TRUE(Leftovers({"folder", "pipe"}).empty());
}

TEST_F(ReplaceTest, OnlyRegularFilesAreReadAndNothingBlocks) {
    fs::create_directory("folder");
    ASSERT_EQ(mkfifo("pipe", 0600), 0);
    WriteWholeFile("doc.vnt", "contents");
    fs::create_symlink("doc.vnt", "link.vnt");
    auto start = std::chrono::steady_clock::now();
    struct Case {
        const char* path;
        int error; // 0: readable
    } cases[] = {{"folder", EISDIR},  {"pipe", ENXIO}, {"/dev/zero", ENXIO}, {"/dev/null", ENXIO},
                 {"missing", ENOENT}, {"", ENOENT},    {"doc.vnt", 0},       {"link.vnt", 0}};
    for (const Case& c : cases) {
        errno = 0;
        EXPECT_EQ(QIsReadableRegularFile(c.path), c.error == 0) << c.path;
        std::string bytes = "stale";
        EXPECT_EQ(QReadRegularFile(c.path, bytes), c.error == 0) << c.path;
        if (c.error) {
            EXPECT_EQ(errno, c.error) << c.path;
            EXPECT_EQ(bytes, "") << c.path;
        } else {
            EXPECT_EQ(bytes, "contents") << c.path;
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5))
        << "a FIFO without a writer is not waited for";
}

TEST_F(ReplaceTest, ThePreloadTrustsOnlyARegularFilesSize) {
    fs::create_directory("folder");
    // A directory opens as a stream on Linux and reports a size near 2^63.
    QFile folder("folder", QFile::READ | QFile::MEMORY);
    EXPECT_FALSE(folder.IsMemory());
    char byte;
    EXPECT_EQ(folder.Read(&byte, 1), 0);

    WriteWholeFile("three.bin", "abc");
    QFile three("three.bin", QFile::READ | QFile::MEMORY);
    EXPECT_TRUE(three.IsMemory());
}

} // namespace
