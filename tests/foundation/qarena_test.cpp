// The arena that holds a loaded document, and strings over bytes they do not own.
#include "foundation/qarena.h"
#include "foundation/qfile.h"
#include "foundation/qstring.h"
#include "support/bytes.h"
#include "support/log_capture.h"

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace {

TEST(QArenaTest, ObjectsAreAlignedAndTextsTerminatedWhateverComesBetween) {
    QArena arena;
    char* text = arena.CopyText("abc", 3); // leaves the cursor unaligned
    EXPECT_STREQ(text, "abc");
    auto* number = (std::int64_t*)arena.Allocate(sizeof(std::int64_t));
    EXPECT_EQ((std::uintptr_t)number % 8, 0u);
    *number = -1;
    // Many small pieces and one that is far larger than a block all stay usable.
    std::vector<char*> texts;
    for (int i = 0; i < 100000; ++i)
        texts.push_back(arena.CopyText("0123456789", i % 11));
    auto* big = (char*)arena.Allocate(1 << 20);
    std::memset(big, 7, 1 << 20);
    for (int i = 0; i < 100000; ++i)
        ASSERT_EQ(std::strlen(texts[i]), (size_t)(i % 11));
    EXPECT_EQ(*number, -1);
    EXPECT_STREQ(text, "abc");
    EXPECT_GE(arena.BytesHeld(), (size_t)(1 << 20));
    arena.Release();
    EXPECT_EQ(arena.BytesHeld(), 0u);
    EXPECT_STREQ(arena.CopyText("again", 5), "again") << "a released arena can be used again";
}

TEST(QArenaTest, UnownedStringsCopyOutBeforeTheyGrowOrMove) {
    QArena arena;
    char* bytes = arena.CopyText("Task", 4);
    {
        qstring s;
        s.SetUnowned(bytes, 4);
        EXPECT_STREQ(s.Text(), "Task");
        EXPECT_EQ(s.Length(), 4);
        s.ToUpper(); // in place: the bytes are this string's alone
        EXPECT_STREQ(bytes, "TASK");

        qstring copied(s);
        qstring moved(std::move(s));
        EXPECT_NE(moved.Text(), bytes) << "a moved-out string must not take borrowed bytes along";
        EXPECT_STREQ(moved.Text(), "TASK");
        EXPECT_EQ(s.Text(), bytes) << "the source keeps its bytes";
        qstring assigned("x");
        assigned = std::move(s);
        EXPECT_NE(assigned.Text(), bytes);
        EXPECT_STREQ(assigned.Text(), "TASK");

        s = "Two"; // fits: stays in place
        EXPECT_EQ(s.Text(), bytes);
        s += " longer text";
        EXPECT_NE(s.Text(), bytes) << "growing copies out to a buffer of its own";
        EXPECT_STREQ(s.Text(), "Two longer text");
        EXPECT_STREQ(copied.Text(), "TASK");
    } // none of these frees the arena's bytes (the sanitizer build checks it)
    qstring empty;
    empty.Assign("", 0);
    EXPECT_EQ(empty.Capacity(), 0) << "an empty counted text takes no buffer";
    empty.Assign("ab\0cd", 5);
    EXPECT_STREQ(empty.Text(), "ab") << "like text, a stored zero ends the string";
}

class QFileArenaTest : public LogTest {};

TEST_F(QFileArenaTest, CountedStringsFromMemoryLandInTheArena) {
    WriteWholeFile("strings.bin", Bytes({3, 0, 'a', 'b', 'c', 0, 0, 4, 0, 'w', 'x'}));
    QArena arena;
    QFile f("strings.bin", QFile::READ | QFile::MEMORY);
    f.SetTextArena(&arena);
    qstring first("A_Node"), empty("default"), cut;
    EXPECT_EQ(f.ReadString(first), 3);
    EXPECT_STREQ(first.Text(), "abc");
    EXPECT_GT(arena.BytesHeld(), 0u);
    EXPECT_EQ(f.ReadString(empty), 0);
    EXPECT_STREQ(empty.Text(), "");
    EXPECT_EQ(f.ReadString(cut), 2) << "a text cut off by the end keeps what is there";
    EXPECT_STREQ(cut.Text(), "wx");
    EXPECT_TRUE(f.IsEOF());
}

} // namespace
