#include "foundation/qfile.h"

#include "foundation/qshell.h"
#include "support/bytes.h"
#include "support/log_capture.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

class QFileTest : public LogTest {
  protected:
    void TearDown() override {
        QSetShellHandler(nullptr);
        LogTest::TearDown();
    }
};

TEST_F(QFileTest, TaggedRecordWithSizeFieldAndCountedString) {
    {
        QFile f("rec.bin", QFile::WRITE);
        ASSERT_TRUE(f.IsOpen());
        f.Write("AGRE", 4);
        long at = f.BeginSize();
        EXPECT_EQ(f.WriteString(qstring("ab")), 4);
        f.EndSize(at);
    }
    EXPECT_EQ(ReadWholeFile("rec.bin"),
              Bytes({0x41, 0x47, 0x52, 0x45, 0x08, 0, 0, 0, 0x02, 0, 0x61, 0x62}));
}

// The undo history writes records into memory and reads them back from there.
TEST_F(QFileTest, RecordsWrittenToMemoryAndReadFromIt) {
    QFile out;
    ASSERT_TRUE(out.IsOpen());
    out.Write("AGRE", 4);
    long at = out.BeginSize();
    out.WriteString(qstring("ab"));
    out.Write32(-7);
    out.EndSize(at);
    std::string written((const char*)out.OutputBytes(), out.OutputSize());
    EXPECT_EQ(written, Bytes({0x41, 0x47, 0x52, 0x45, 0x0C, 0, 0, 0, 0x02, 0, 0x61, 0x62, 0xF9,
                              0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(std::filesystem::exists("(memory)")) << "no file behind it";

    QFile in((const unsigned char*)written.data() + 8, (long)written.size() - 8);
    qstring text;
    std::int32_t value = 0;
    EXPECT_EQ(in.ReadString(text), 2);
    EXPECT_STREQ(text.Text(), "ab");
    EXPECT_TRUE(in.Read32(value));
    EXPECT_EQ(value, -7);
    EXPECT_FALSE(in.Read32(value)) << "the bytes end there";
    EXPECT_TRUE(in.Close());
    EXPECT_EQ(written.substr(0, 4), "AGRE") << "the reader left the bytes alone";
}

TEST_F(QFileTest, NestedSizeFieldsEachCountTheirOwnRecord) {
    {
        QFile f("nested.bin", QFile::WRITE);
        long outer = f.BeginSize();
        long inner = f.BeginSize();
        f.Write32(-2);
        f.EndSize(inner);
        f.WriteString(qstring("x"), false);
        f.EndSize(outer);
        f.Write("!", 1);
    }
    EXPECT_EQ(ReadWholeFile("nested.bin"),
              Bytes({13, 0, 0, 0, 8, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 'x', '!'}));
}

TEST_F(QFileTest, CountedStringsAndIntegersRoundTrip) {
    {
        QFile f("data.bin", QFile::WRITE);
        EXPECT_EQ(f.WriteString(qstring()), 2);
        EXPECT_EQ(f.WriteString(qstring("hello")), 7);
        f.Write32(0x12345678);
        f.Write16(-3);
    }
    EXPECT_EQ(ReadWholeFile("data.bin").substr(0, 2), Bytes({0, 0}));
    for (int mode : {(int)QFile::READ, QFile::READ | QFile::MEMORY}) {
        QFile f("data.bin", mode);
        qstring s("junk");
        EXPECT_EQ(f.ReadString(s), 0);
        EXPECT_TRUE(s.IsEmpty());
        EXPECT_EQ(f.ReadString(s), 5);
        EXPECT_STREQ(s.Text(), "hello");
        std::int32_t i = 0;
        std::int16_t h = 0;
        EXPECT_TRUE(f.Read32(i));
        EXPECT_TRUE(f.Read16(h));
        EXPECT_EQ(i, 0x12345678);
        EXPECT_EQ(h, -3);
        EXPECT_FALSE(f.Read32(i));
        EXPECT_TRUE(f.IsEOF());
    }
}

TEST_F(QFileTest, OverlongTextIsCutToWhatACountCanHold) {
    std::string text(40000, 'q');
    {
        QFile f("long.bin", QFile::WRITE);
        EXPECT_EQ(f.WriteString(qstring(text.c_str())), 2 + QFile::MAX_STRING);
        f.WriteString(qstring("next"));
    }
    EXPECT_TRUE(LogContains("QFile:Write(s); text of 40000 bytes cut to 32767 bytes"));
    QFile f("long.bin", QFile::READ);
    qstring s;
    EXPECT_EQ(f.ReadString(s), QFile::MAX_STRING);
    EXPECT_EQ(std::string(s.Text()), text.substr(0, QFile::MAX_STRING));
    EXPECT_EQ(f.ReadString(s), 4);
    EXPECT_STREQ(s.Text(), "next");
}

TEST_F(QFileTest, DamagedStringCountsNeverReadOutsideTheFile) {
    WriteWholeFile("neg.bin", Bytes({0xFF, 0xFF, 'a'}));
    WriteWholeFile("short.bin", Bytes({10, 0, 'a', 'b'}));
    WriteWholeFile("half.bin", Bytes({10}));
    for (int options : {0, (int)QFile::MEMORY}) {
        qstring s("old");
        QFile negative("neg.bin", QFile::READ | options);
        EXPECT_EQ(negative.ReadString(s), 0);
        EXPECT_TRUE(s.IsEmpty());

        QFile cut("short.bin", QFile::READ | options);
        EXPECT_EQ(cut.ReadString(s), 2);
        EXPECT_STREQ(s.Text(), "ab");
        EXPECT_TRUE(cut.IsEOF());

        QFile half("half.bin", QFile::READ | options);
        s = "kept";
        EXPECT_EQ(half.ReadString(s), 0);
        EXPECT_STREQ(s.Text(), "kept");
    }
    EXPECT_TRUE(LogContains("QFile:Read(s); bad string length -1 in 'neg.bin'"));
}

TEST_F(QFileTest, MemoryPreloadDeliversBytesThenEndOfFile) {
    WriteWholeFile("three.bin", "xyz");
    QFile f("three.bin", QFile::READ | QFile::MEMORY);
    EXPECT_TRUE(f.IsOpen());
    EXPECT_TRUE(f.IsMemory());
    EXPECT_EQ(f.GetChar(), 'x');
    EXPECT_EQ(f.GetChar(), 'y');
    EXPECT_EQ(f.GetChar(), 'z');
    EXPECT_FALSE(f.IsEOF()) << "the end is noticed only by the read that runs into it";
    EXPECT_EQ((unsigned char)f.GetChar(), 0xFF);
    EXPECT_TRUE(f.IsEOF());
    f.UnGetChar('z');
    EXPECT_FALSE(f.IsEOF());
    EXPECT_EQ(f.GetChar(), 'z');
    EXPECT_TRUE(f.IsEOF());
}

TEST_F(QFileTest, StreamAndMemoryReadsAgreeAtTheEnd) {
    WriteWholeFile("three.bin", "xyz");
    for (int mode : {(int)QFile::READ, QFile::READ | QFile::MEMORY}) {
        QFile f("three.bin", mode);
        char buffer[8] = {0};
        EXPECT_EQ(f.Read(buffer, 2), 2);
        EXPECT_FALSE(f.IsEOF());
        EXPECT_EQ(f.Read(buffer, 8), 1) << "only the bytes that remain";
        EXPECT_EQ(buffer[0], 'z');
        EXPECT_TRUE(f.IsEOF());
        EXPECT_EQ(f.Read(buffer, 8), 0);
    }
}

TEST_F(QFileTest, PushedBackByteIsReadFirstWithoutTouchingTheFile) {
    WriteWholeFile("ab.bin", "ab");
    for (int mode : {(int)QFile::READ, QFile::READ | QFile::MEMORY}) {
        QFile f("ab.bin", mode);
        f.UnGetChar('Q');
        char c = 0;
        EXPECT_EQ(f.Read(&c, 1), 1);
        EXPECT_EQ(c, 'Q');
        EXPECT_EQ(f.Tell(), 0);
        char rest[3] = {0};
        f.UnGetChar('P');
        EXPECT_EQ(f.Read(rest, 3), 3);
        EXPECT_EQ(std::string(rest, 3), "Pab");
    }
}

TEST_F(QFileTest, SeekClampsInMemoryAndRejectsUnknownOrigins) {
    WriteWholeFile("three.bin", "xyz");
    QFile memory("three.bin", QFile::READ | QFile::MEMORY);
    EXPECT_TRUE(memory.Seek(5, 0));
    EXPECT_EQ(memory.Tell(), 3);
    EXPECT_TRUE(memory.Seek(1, 1));
    EXPECT_EQ(memory.GetChar(), 'z');
    EXPECT_TRUE(memory.Seek(-10, 2));
    EXPECT_EQ(memory.Tell(), 0);
    EXPECT_FALSE(memory.Seek(0, 3));
    EXPECT_EQ(memory.Tell(), 0);

    QFile stream("three.bin", QFile::READ);
    EXPECT_TRUE(stream.Seek(1, 1));
    EXPECT_EQ(stream.GetChar(), 'z');
    EXPECT_TRUE(stream.Seek(1, 0));
    EXPECT_TRUE(stream.Seek(1, 2));
    EXPECT_EQ(stream.GetChar(), 'z');
    EXPECT_FALSE(stream.Seek(0, -1));
}

TEST_F(QFileTest, EveryOpenModeBehavesLikeItsStreamMode) {
    struct Case {
        int mode;
        bool opensMissingFile;
        std::string afterWritingBang; // the file "old" after writing "!"
    } cases[] = {
        {QFile::READ, false, "old"},
        {QFile::WRITE, true, "!"},
        {QFile::READ_WRITE, false, "!ld"},
        {QFile::WRITE_READ, true, "!"},
        {QFile::READ_TEXT, false, "old"},
        {QFile::APPEND_TEXT, true, "old!"},
        {QFile::APPEND_READ_TEXT, true, "old!"},
        {QFile::APPEND, true, "old!"},
        {QFile::WRITE_TEXT, true, "!"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove("missing.txt");
        {
            QFile missing("missing.txt", c.mode);
            EXPECT_EQ(missing.IsOpen(), c.opensMissingFile) << c.mode;
        }
        WriteWholeFile("old.txt", "old");
        {
            QFile f("old.txt", c.mode);
            EXPECT_TRUE(f.IsOpen()) << c.mode;
            EXPECT_STREQ(f.GetName(), "old.txt");
            EXPECT_STREQ(f.ClassName(), "QFile");
            f.Write("!", 1);
        }
        EXPECT_EQ(ReadWholeFile("old.txt"), c.afterWritingBang) << c.mode;
    }
    for (int bad : {0, 10, 0xFF}) {
        QFile f("old.txt", bad);
        EXPECT_FALSE(f.IsOpen()) << bad;
    }
}

TEST_F(QFileTest, MemoryOptionOnlyCombinesWithRead) {
    WriteWholeFile("t.ini", "a=1\n");
    {
        QFile text("t.ini", QFile::READ_TEXT | QFile::MEMORY);
        EXPECT_TRUE(text.IsOpen());
        EXPECT_FALSE(text.IsMemory());
    }
    EXPECT_TRUE(LogContains("(ERR  ): [-] QFile ctor: READ_TEXT and MEMORY flags are incompatible "
                            "(buggy); turning off MEMORY"));
    {
        QFile write("w.bin", QFile::WRITE | QFile::MEMORY);
        EXPECT_TRUE(write.IsOpen());
        EXPECT_FALSE(write.IsMemory());
    }
    EXPECT_TRUE(LogContains(
        "(WARN ): [-] QFile:ctor MEMORY req'd for 'w.bin' but incompatible mode given"));

    WriteWholeFile("empty.bin", "");
    QFile empty("empty.bin", QFile::READ | QFile::MEMORY);
    EXPECT_TRUE(empty.IsOpen());
    EXPECT_FALSE(empty.IsMemory());
    EXPECT_EQ((unsigned char)empty.GetChar(), 0xFF);
    EXPECT_TRUE(empty.IsEOF());
}

TEST_F(QFileTest, ClosedFileReadsAndWritesNothing) {
    QFile f("no/such/folder/file.bin", QFile::READ | QFile::MEMORY);
    EXPECT_FALSE(f.IsOpen());
    EXPECT_TRUE(f.IsEOF());
    char buffer[4];
    qstring s("kept");
    EXPECT_EQ(f.Read(buffer, 4), 0);
    EXPECT_EQ(f.ReadString(s), 0);
    EXPECT_STREQ(s.Text(), "kept");
    EXPECT_EQ(f.Write("abc", 3), 0);
    EXPECT_EQ(f.WriteString(s), 0);
    EXPECT_FALSE(f.Seek(0, 0));
    f.Printf("%d", 1);
}

TEST_F(QFileTest, FormattedOutput) {
    {
        QFile f("out.txt", QFile::WRITE_TEXT);
        f.Printf("%s=%d\n", "key", 5);
    }
    EXPECT_EQ(ReadWholeFile("out.txt"), "key=5\n");
}

TEST_F(QFileTest, WholeFileHelpers) {
    EXPECT_TRUE(QFileWrite("whole.bin", "abcdef", 6));
    EXPECT_EQ(QFileSize("whole.bin"), 6);
    char buffer[4] = {0};
    EXPECT_TRUE(QFileRead("whole.bin", buffer, 3));
    EXPECT_EQ(std::string(buffer), "abc");
    EXPECT_TRUE(QFileWrite("none.bin", nullptr, 0));
    EXPECT_EQ(QFileSize("none.bin"), 0);
    EXPECT_EQ(QFileSize("missing.bin"), -1);
    EXPECT_FALSE(QFileRead("missing.bin", buffer, 3));
    EXPECT_FALSE(QFileWrite("no/such/dir/x.bin", "a", 1));
}

TEST_F(QFileTest, OpeningGoesThroughTheShellHandler) {
    std::vector<std::string> asked;
    bool answer = true;
    QSetShellHandler([&](const char* target) {
        asked.push_back(target);
        return answer;
    });
    EXPECT_TRUE(QOpen("https://example.org/help"));
    EXPECT_TRUE(QNotePad("c:/a/b.txt"));
    EXPECT_EQ(Log(), "");
    answer = false;
    EXPECT_FALSE(QOpen("export.htm"));
    EXPECT_FALSE(QNotePad("notes.txt"));
    EXPECT_EQ(asked, (std::vector<std::string>{"https://example.org/help", "c:/a/b.txt",
                                               "export.htm", "notes.txt"}));
    EXPECT_TRUE(LogContains("(WARN ): [-] QOpen: can't open export.htm [qfile:"));
    EXPECT_TRUE(LogContains("QNotePad: can't open notes.txt"));
}

TEST_F(QFileTest, DefaultHandlerWaitsForXdgOpenAndSeesItsFailure) {
    std::filesystem::create_directory("bin");
    WriteWholeFile("bin/xdg-open", "#!/bin/sh\necho \"$1\" > opened.txt\n[ \"$1\" != bad ]\n");
    std::filesystem::permissions("bin/xdg-open", std::filesystem::perms::owner_all);
    std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (dir.Path() + "/bin:" + oldPath).c_str(), 1);
    EXPECT_TRUE(QOpen("good"));
    EXPECT_EQ(ReadWholeFile("opened.txt"), "good\n") << "the handler ran to its end";
    EXPECT_FALSE(QOpen("bad"));
    EXPECT_TRUE(LogContains("QOpen: can't open bad"));
    setenv("PATH", "/nonexistent", 1);
    EXPECT_FALSE(QXdgOpen("anything"));
    setenv("PATH", oldPath.c_str(), 1);
}

} // namespace

namespace {

TEST_F(QFileTest, ReadEndActsAsTheEndOfTheFile) {
    WriteWholeFile("window.bin", Bytes({5, 0, 'a', 'b', 'c', 'd', 'e', 'f'}));
    for (int mode : {(int)QFile::READ, QFile::READ | QFile::MEMORY}) {
        QFile f("window.bin", mode);
        f.SetReadEnd(5);
        qstring s;
        EXPECT_EQ(f.ReadString(s), 3) << "the count runs past the window";
        EXPECT_STREQ(s.Text(), "abc");
        EXPECT_TRUE(f.IsEOF());
        EXPECT_EQ((unsigned char)f.GetChar(), 0xFF);
        f.SetReadEnd(-1);
        EXPECT_TRUE(f.Seek(5, 0));
        EXPECT_EQ(f.GetChar(), 'd');
        EXPECT_FALSE(f.IsEOF());
    }
}

TEST_F(QFileTest, CloseReportsBytesThatCouldNotBeWritten) {
    QFile full("/dev/full", QFile::WRITE);
    ASSERT_TRUE(full.IsOpen());
    EXPECT_EQ(full.Write("abc", 3), 3);
    EXPECT_FALSE(full.Close());
    EXPECT_FALSE(full.IsOpen());

    QFile fine("fine.bin", QFile::WRITE);
    fine.Write("abc", 3);
    fine.Printf("%d", 42);
    EXPECT_TRUE(fine.Close());
    EXPECT_EQ(ReadWholeFile("fine.bin"), "abc42");
}

} // namespace

namespace {

// A path kept to open later (a recent document) must not depend on the folder it was
// typed in.
TEST_F(QFileTest, AbsolutePathsNameTheFileFromAnyFolder) {
    const std::string here = std::filesystem::current_path().string();
    struct Case {
        std::string typed, absolute;
    } cases[] = {
        {"Mes tâches.vnt", here + "/Mes tâches.vnt"},
        {"./sub/../doc.vnt", here + "/doc.vnt"},
        {"sub/./doc.vnt", here + "/sub/doc.vnt"},
        {"/already/there.vnt", "/already/there.vnt"},
        {"/a/b/../c.vnt", "/a/c.vnt"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QAbsolutePath(c.typed), c.absolute) << c.typed;
}

} // namespace
