// The real program saving and opening under the conditions that lose data: a full
// disk, kill -9 in the middle of a save, a directory, a FIFO or a device given as the
// document, symbolic links and names near the file system's limit.
#include "foundation/qreplace.h"
#include "model/vcollection.h"
#include "support/generated_document.h"
#include "support/log_capture.h"
#include "test_paths.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <gmock/gmock.h>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using Clock = std::chrono::steady_clock;

namespace {

struct Outcome {
    int code = -1;         // exit code, or -1 when the program did not exit by itself
    bool timedOut = false; // still running at the deadline (then killed)
    std::string output;    // standard output and standard error
};

// Starts vantry with the arguments; files written may grow to at most fileLimit bytes.
pid_t Start(const std::vector<std::string>& args, rlim_t fileLimit = RLIM_INFINITY) {
    pid_t pid = fork();
    if (pid != 0) return pid;
    int log = open("run.log", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(log, 1);
    dup2(log, 2);
    close(log);
    if (fileLimit != RLIM_INFINITY) {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of killing
        rlimit limit{fileLimit, fileLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::vector<char*> argv{const_cast<char*>(VANTRY_BINARY)};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(VANTRY_BINARY, argv.data());
    _exit(127);
}

// Waits for the program, killing it when it is not done within the time given (generous:
// the machine may be busy, and the limit is there for a program that hangs).
Outcome Finish(pid_t pid, std::chrono::milliseconds limit = std::chrono::seconds(120)) {
    Outcome outcome;
    auto deadline = Clock::now() + limit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            outcome.timedOut = true;
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(status)) outcome.code = WEXITSTATUS(status);
    outcome.output = ReadWholeFile("run.log");
    return outcome;
}

Outcome RunVantry(const std::vector<std::string>& args, rlim_t fileLimit = RLIM_INFINITY) {
    return Finish(Start(args, fileLimit));
}

// The files of a folder other than the ones named.
std::vector<std::string> Others(const std::string& folder, std::vector<std::string> known) {
    known.push_back("run.log");
    known.push_back("QLOG.txt");
    std::vector<std::string> others;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (std::find(known.begin(), known.end(), name) == known.end()) others.push_back(name);
    }
    return others;
}

class SaveSafetyTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        // The document to save (FILE) and an older, different document already at OUT.
        VCollection big;
        GenerateDocument(big, {.nodes = 2000, .seed = 7});
        ASSERT_TRUE(big.Save("file.vnt"));
        VCollection small;
        GenerateDocument(small, {.nodes = 20, .seed = 3});
        ASSERT_TRUE(small.Save("out.vnt"));
        oldOut = ReadWholeFile("out.vnt");
        ASSERT_EQ(RunVantry({"--save-as", "expected.vnt", "file.vnt"}).code, 0);
        newOut = ReadWholeFile("expected.vnt");
        ASSERT_NE(newOut.size(), oldOut.size());
        fs::remove("expected.vnt");
    }

    std::string oldOut, newOut;
};

TEST_F(SaveSafetyTest, AFullDiskKeepsTheOldDocumentAndSaysSo) {
    Outcome run = RunVantry({"--save-as", "out.vnt", "file.vnt"}, oldOut.size() + 100);
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(
        run.output,
        "Error: Can't write file (out.vnt): File too large. The file on disk is unchanged.\n");
    EXPECT_EQ(ReadWholeFile("out.vnt"), oldOut) << "byte for byte";
    EXPECT_THAT(Others(dir.Path(), {"out.vnt", "file.vnt"}), ::testing::IsEmpty());

    // Once there is room the same command saves.
    EXPECT_EQ(RunVantry({"--save-as", "out.vnt", "file.vnt"}).code, 0);
    EXPECT_EQ(ReadWholeFile("out.vnt"), newOut);
}

// A real full file system: a small tmpfs in a mount namespace of its own.
TEST_F(SaveSafetyTest, ASmallFileSystemThatFillsUpKeepsTheOldDocument) {
    fs::create_directory("mnt");
    std::string script =
        "mount -t tmpfs -o size=64k tmpfs mnt || exit 99\n"
        "cp out.vnt mnt/out.vnt\n"
        "dd if=/dev/zero of=mnt/filler bs=1k count=1000 2>/dev/null\n" // fills what is left
        "'" VANTRY_BINARY "' --save-as mnt/out.vnt file.vnt > run.log 2>&1\n"
        "echo \"code $?\"\n"
        "cmp -s out.vnt mnt/out.vnt && echo unchanged\n"
        "ls -A mnt\n";
    WriteWholeFile("script.sh", script);
    std::FILE* pipe = popen("timeout 60 unshare -rm sh script.sh 2>&1", "r");
    ASSERT_NE(pipe, nullptr);
    std::string report;
    char buffer[512];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        report.append(buffer, n);
    int status = pclose(pipe);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 99)
        GTEST_SKIP() << "no tmpfs can be mounted here: " << report;
    EXPECT_EQ(report, "code 1\nunchanged\nfiller\nout.vnt\n")
        << "exit 1, the old document as it was and no temporary left";
    EXPECT_EQ(ReadWholeFile("run.log"), "Error: Can't write file (mnt/out.vnt): No space left on "
                                        "device. The file on disk is unchanged.\n");
}

// kill -9 at moments spread over a large save: the target is always the old document or
// the complete new one, never anything in between. The test makes a fixed number of kills,
// however long a save takes on this machine.
TEST_F(SaveSafetyTest, KilledAtAnyMomentTheTargetIsOldOrNew) {
    VCollection huge;
    GenerateDocument(huge, {.nodes = 100000, .seed = 11});
    ASSERT_TRUE(huge.Save("huge.vnt"));
    // How long a save takes: the shorter of two (the first also reads the program from disk).
    auto oneSave = std::chrono::microseconds::max();
    for (int i = 0; i < 2; ++i) {
        auto started = Clock::now();
        ASSERT_EQ(RunVantry({"--save-as", "complete.vnt", "huge.vnt"}).code, 0);
        oneSave = std::min(
            oneSave, std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started));
    }
    std::string complete = ReadWholeFile("complete.vnt");
    fs::remove("complete.vnt");

    // One kill in each of equal slices of the time from the start to a little past the end
    // of a save, at a random moment of its slice.
    const int kills = 30;
    const long slice = std::max(1L, (long)(oneSave.count() * 6 / 5 / kills));
    std::mt19937 random(20261210);
    std::uniform_int_distribution<long> inSlice(0, slice - 1);
    const auto ceiling = std::chrono::minutes(20);
    auto deadline = Clock::now() + ceiling;
    int old = 0, renewed = 0, torn = 0, done = 0, midSave = 0;
    for (; done < kills && Clock::now() < deadline; ++done) {
        WriteWholeFile("out.vnt", oldOut);
        pid_t pid = Start({"--save-as", "out.vnt", "huge.vnt"});
        std::this_thread::sleep_for(std::chrono::microseconds(done * slice + inSlice(random)));
        kill(pid, SIGKILL);
        midSave += Finish(pid).code == -1; // killed, not ended by itself
        std::string now = ReadWholeFile("out.vnt");
        if (now == oldOut)
            ++old;
        else if (now == complete)
            ++renewed;
        else
            ++torn;
        // A killed run may leave its temporary: hidden, and never taken for a document.
        for (const std::string& name : Others(dir.Path(), {"out.vnt", "file.vnt", "huge.vnt"})) {
            EXPECT_EQ(name.rfind(Q_REPLACE_TEMPORARY_PREFIX, 0), 0u) << name;
            EXPECT_THAT(name, ::testing::Not(::testing::EndsWith(".vnt")));
            fs::remove(name);
        }
    }
    RecordProperty("tries", done);
    RecordProperty("old", old);
    RecordProperty("new", renewed);
    std::printf("one save %.0f ms; %d kills (%d before the program ended): %d old, %d new, "
                "%d torn\n",
                oneSave.count() / 1000.0, done, midSave, old, renewed, torn);
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(done, kills) << "all kills made within " << ceiling.count() << " minutes";
    EXPECT_GT(old, 0) << "some kills came before the rename";
}

// A directory, a FIFO without a writer or a device as the document: a clear error at
// once, and nothing written.
TEST_F(SaveSafetyTest, WhatIsNoFileIsRefusedAtOnceAndNothingIsWritten) {
    fs::create_directory("folder.vnt");
    ASSERT_EQ(mkfifo("pipe.vnt", 0600), 0);
    for (const std::string file : {"folder.vnt", "pipe.vnt", "/dev/zero", "/dev/null"}) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"--save-as", "out.vnt", file},
              std::vector<std::string>{"--list", file}}) {
            auto started = Clock::now();
            Outcome run = Finish(Start(args), std::chrono::seconds(60));
            EXPECT_FALSE(run.timedOut) << args[0] << " " << file;
            EXPECT_LT(Clock::now() - started, std::chrono::seconds(60));
            EXPECT_EQ(run.code, 1) << args[0] << " " << file;
            EXPECT_EQ(run.output, "Error: Can't open file (" + file + ").\n");
        }
        EXPECT_EQ(ReadWholeFile("out.vnt"), oldOut) << file;
    }
    EXPECT_THAT(Others(dir.Path(), {"out.vnt", "file.vnt", "folder.vnt", "pipe.vnt"}),
                ::testing::IsEmpty());

    // Nor is a directory, a FIFO or a device ever replaced by a document.
    for (const std::string out : {"folder.vnt", "pipe.vnt", "/dev/null"}) {
        Outcome run = Finish(Start({"--save-as", out, "file.vnt"}), std::chrono::seconds(60));
        EXPECT_EQ(run.code, 1) << out;
        EXPECT_EQ(run.output,
                  "Error: Can't open file (" + out +
                      ") for writing: it is not a regular file. The file on disk is unchanged.\n");
    }
    EXPECT_TRUE(fs::is_directory("folder.vnt"));
    EXPECT_TRUE(fs::is_fifo("pipe.vnt"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(SaveSafetyTest, SavingThroughALinkKeepsTheLinkAndChangesTheRealFile) {
    fs::create_directory("store");
    fs::rename("out.vnt", "store/real.vnt");
    fs::create_symlink("store/real.vnt", "out.vnt");
    EXPECT_EQ(RunVantry({"--save-as", "out.vnt", "file.vnt"}).code, 0);
    EXPECT_TRUE(fs::is_symlink("out.vnt"));
    EXPECT_EQ(fs::read_symlink("out.vnt"), "store/real.vnt");
    EXPECT_EQ(ReadWholeFile("store/real.vnt"), newOut);
    EXPECT_THAT(Others("store", {"real.vnt"}), ::testing::IsEmpty());
}

TEST_F(SaveSafetyTest, ATargetNameOf250BytesSaves) {
    std::string name = std::string(246, 'd') + ".vnt";
    ASSERT_EQ(name.size(), 250u);
    WriteWholeFile(name, oldOut);
    Outcome run = RunVantry({"--save-as", name, "file.vnt"});
    EXPECT_EQ(run.code, 0) << run.output;
    EXPECT_EQ(ReadWholeFile(name), newOut);
    EXPECT_EQ(RunVantry({"--list", name}).code, 0) << "and opens again";
}

} // namespace
