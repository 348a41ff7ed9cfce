// Sync with a local Radicale, side by side with vdirsyncer syncing the same calendar to a
// folder: the first sync of 10,000 items (each downloading all of them), a sync with
// nothing to do, and syncs of 10 changes each way (the target: within 2 s). The first
// upload is timed for 1,000 items, each program into an empty calendar of its own:
// Radicale checks every new item's UID against all the items it holds, so uploading
// 10,000 new ones takes it the better part of an hour on a busy machine, whoever sends
// them. Wall time, since the server's work is most of it; vdirsyncer's times include
// starting Python. The 10,000 items are put into Radicale's storage folder beforehand.
#include "model/vcollection.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "ratio_reporter.h"
#include "sync/caldav_sync.h"
#include "sync/dav_servers.h"
#include "test_paths.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int ITEMS = 10000;
constexpr int UPLOAD_ITEMS = 1000;
constexpr int CHANGES = 10;

// Actions with days and to-dos, 1,000 to a folder.
void Fill(VCollection& c, int items) {
    VNode* project = nullptr;
    for (int j = 0; j < items; ++j) {
        if (j % 1000 == 0) {
            project = c.Add(new VGroup(&c), c.root);
            project->name = ("Project " + std::to_string(j / 1000)).c_str();
        }
        std::string text = "Item number " + std::to_string(j) + " with some words";
        if (j % 2) {
            auto* task = new VTask(&c);
            task->what = text.c_str();
            task->flags = 0;
            task->startDate = "2027-03-01";
            task->duration = 1 + j % 5;
            c.Add(task, project);
        } else {
            auto* todo = new VTodo(&c);
            todo->what = text.c_str();
            c.Add(todo, project);
        }
    }
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const fs::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

struct Bench {
    fs::path folder = "/tmp/vantry-sync-bench-" + std::to_string(getpid());
    DavServer server;
    VCollection desktop;  // downloads the 10,000 items, then syncs changes both ways
    VCollection uploader; // uploads 1,000 items
    SyncOptions options;
    int round = 0;

    std::string Calendar(const char* name) const {
        std::string url = server.CalendarUrl();
        return url.substr(0, url.rfind('/', url.size() - 2) + 1) + name + "/";
    }

    Bench() {
        options.password = "secret";
        fs::create_directories(folder / "vdir");
        fs::create_directories(folder / "vdir-up");
        if (!server.Start(ServerKind::Radicale, folder)) {
            std::fprintf(stderr, "sync_bench: Radicale did not start (see %s/server.log)\n",
                         folder.c_str());
            std::exit(1);
        }
        std::string output;
        for (const char* name : {"up-vantry", "up-vdirsyncer"})
            Shell("/usr/bin/python3 " SYNC_TEST_DIR "/caldav_device.py " + Calendar(name) +
                      " test secret make",
                  output);
        // The 10,000 items as this program writes them, straight into the calendar's folder.
        VCollection source;
        Fill(source, ITEMS);
        fs::path calendar = folder / "storage/collection-root/test/calendar";
        for (const SyncSnapshotItem& item : TakeSyncSnapshot(source).items)
            WriteFile(calendar / (item.uid + ".ics"), item.ics);
        // 1,000 for each uploader: a document, and vdirsyncer's folder.
        Fill(uploader, UPLOAD_ITEMS);
        for (const SyncSnapshotItem& item : TakeSyncSnapshot(uploader).items)
            WriteFile(folder / "vdir-up" / (item.uid + ".ics"), item.ics);
        // Radicale reads each item the first time it is asked for it: done now, for both.
        Shell("curl -s -u test:secret -X PROPFIND -H 'Depth: 1' " + server.CalendarUrl() +
                  " > /dev/null",
              output);
        SetSyncAccount(desktop, {server.CalendarUrl(), "test"});
        SetSyncAccount(uploader, {Calendar("up-vantry"), "test"});
        auto pair = [&](const char* name, const char* dir, const std::string& url) {
            return "[pair " + std::string(name) + "]\na = \"" + name + "_folder\"\nb = \"" + name +
                   "_server\"\ncollections = null\n[storage " + name +
                   "_folder]\ntype = \"filesystem\"\npath = \"" + (folder / dir).string() +
                   "/\"\nfileext = \".ics\"\n[storage " + name +
                   "_server]\ntype = \"caldav\"\nurl = \"" + url +
                   "\"\nusername = \"test\"\npassword = \"secret\"\n";
        };
        WriteFile(folder / "vdirsyncer.conf",
                  "[general]\nstatus_path = \"" + (folder / "status").string() + "/\"\n" +
                      pair("calendar", "vdir", server.CalendarUrl()) +
                      pair("upload", "vdir-up", Calendar("up-vdirsyncer")));
    }
    ~Bench() {
        server.Stop();
        fs::remove_all(folder);
    }

    // One whole sync of the document, as the window and the command line run it.
    SyncResult Sync(VCollection& c) {
        SyncSnapshot snapshot = TakeSyncSnapshot(c);
        SyncResult result = ExchangeWithServer(snapshot, options);
        ApplySyncResult(c, snapshot, result);
        return result;
    }
    // vdirsyncer with these arguments; why it failed, or empty.
    std::string Vdirsyncer(const std::string& command) {
        std::string output;
        if (Shell("vdirsyncer -c " + (folder / "vdirsyncer.conf").string() + " " + command,
                  output) != 0)
            return "vdirsyncer " + command + ": " + output;
        return {};
    }
    // CHANGES to-dos of the desktop document get new texts.
    void ChangeHere() {
        ++round;
        int n = 0;
        for (VNode* node = desktop.root->next; node && n < CHANGES; node = node->next)
            if (auto* todo = dynamic_cast<VTodo*>(node))
                todo->what = ("Changed here, round " + std::to_string(round) + ", item " +
                              std::to_string(n++))
                                 .c_str();
    }
    // CHANGES files of vdirsyncer's folder get new summaries.
    void ChangeInFolder() {
        ++round;
        int n = 0;
        for (const auto& entry : fs::directory_iterator(folder / "vdir")) {
            if (n == CHANGES) break;
            // vdirsyncer keeps the server's lines with plain line feeds.
            std::string text = ReadFile(entry.path());
            std::size_t at = text.find("\nSUMMARY:");
            if (at == std::string::npos) continue;
            at += 9;
            std::size_t end = text.find_first_of("\r\n", at);
            text.replace(at, end - at,
                         "Changed in the folder round " + std::to_string(round) + " item " +
                             std::to_string(n++));
            WriteFile(entry.path(), text);
        }
    }
};

Bench* bench = nullptr;

// Why the sync did not do what the benchmark expects; empty when it did.
std::string Problem(const SyncResult& result, std::size_t uploaded, std::size_t downloaded) {
    if (result.status != SyncResult::Status::Done) return "sync failed: " + result.error;
    if (result.uploaded.size() != uploaded || result.downloaded.size() != downloaded)
        return "unexpected counts: " + std::to_string(result.uploaded.size()) + " up, " +
               std::to_string(result.downloaded.size()) + " down";
    return {};
}

// Runs the benchmark's loop: each round prepares untimed, runs the timed part, and
// settles untimed; the first problem ends it (and is printed, as a run may stop there).
template <class Prepare, class Timed, class Settle>
void Rounds(benchmark::State& state, Prepare prepare, Timed timed, Settle settle) {
    for (auto _ : state) {
        state.PauseTiming();
        std::string problem = prepare();
        state.ResumeTiming();
        if (problem.empty()) problem = timed();
        state.PauseTiming();
        if (problem.empty()) problem = settle();
        state.ResumeTiming();
        if (!problem.empty()) {
            std::fprintf(stderr, "%s\n", problem.c_str());
            state.SkipWithError(problem.c_str());
            break;
        }
    }
}

std::string Nothing() {
    return {};
}

void BM_Vantry_FirstSync_Upload1000(benchmark::State& state) {
    Rounds(
        state, Nothing, [] { return Problem(bench->Sync(bench->uploader), UPLOAD_ITEMS, 0); },
        Nothing);
}
void BM_Vdirsyncer_FirstSync_Upload1000(benchmark::State& state) {
    Rounds(
        state, [] { return bench->Vdirsyncer("discover upload > /dev/null"); },
        [] { return bench->Vdirsyncer("sync upload"); }, Nothing);
}
void BM_Vantry_FirstSync_Download10000(benchmark::State& state) {
    Rounds(
        state, Nothing, [] { return Problem(bench->Sync(bench->desktop), 0, ITEMS); }, Nothing);
}
void BM_Vdirsyncer_FirstSync_Download10000(benchmark::State& state) {
    Rounds(
        state, [] { return bench->Vdirsyncer("discover calendar > /dev/null"); },
        [] { return bench->Vdirsyncer("sync calendar"); }, Nothing);
}
void BM_Vantry_Sync_NothingChanged(benchmark::State& state) {
    Rounds(
        state, Nothing, [] { return Problem(bench->Sync(bench->desktop), 0, 0); }, Nothing);
}
void BM_Vdirsyncer_Sync_NothingChanged(benchmark::State& state) {
    Rounds(
        state, Nothing, [] { return bench->Vdirsyncer("sync calendar"); }, Nothing);
}
// Ten changes here go up; vdirsyncer takes them afterwards, for the next round.
void BM_Vantry_Sync_10ChangesUp(benchmark::State& state) {
    Rounds(
        state, [] { return bench->ChangeHere(), std::string(); },
        [] { return Problem(bench->Sync(bench->desktop), CHANGES, 0); },
        [] { return bench->Vdirsyncer("sync calendar"); });
}
void BM_Vdirsyncer_Sync_10ChangesUp(benchmark::State& state) {
    Rounds(
        state, [] { return bench->ChangeInFolder(), std::string(); },
        [] { return bench->Vdirsyncer("sync calendar"); },
        [] { return Problem(bench->Sync(bench->desktop), 0, CHANGES); });
}
void BM_Vantry_Sync_10ChangesDown(benchmark::State& state) {
    Rounds(
        state,
        [] {
            bench->ChangeInFolder();
            return bench->Vdirsyncer("sync calendar");
        },
        [] { return Problem(bench->Sync(bench->desktop), 0, CHANGES); }, Nothing);
}
void BM_Vdirsyncer_Sync_10ChangesDown(benchmark::State& state) {
    Rounds(
        state,
        [] {
            bench->ChangeHere();
            return Problem(bench->Sync(bench->desktop), CHANGES, 0);
        },
        [] { return bench->Vdirsyncer("sync calendar"); }, Nothing);
}

#define SYNC_BENCH(name, iterations)                                                               \
    BENCHMARK(name)->Iterations(iterations)->UseRealTime()->Unit(benchmark::kMillisecond)
SYNC_BENCH(BM_Vantry_FirstSync_Upload1000, 1);
SYNC_BENCH(BM_Vdirsyncer_FirstSync_Upload1000, 1);
SYNC_BENCH(BM_Vantry_FirstSync_Download10000, 1);
SYNC_BENCH(BM_Vdirsyncer_FirstSync_Download10000, 1);
SYNC_BENCH(BM_Vantry_Sync_NothingChanged, 3);
SYNC_BENCH(BM_Vdirsyncer_Sync_NothingChanged, 3);
SYNC_BENCH(BM_Vantry_Sync_10ChangesUp, 3);
SYNC_BENCH(BM_Vdirsyncer_Sync_10ChangesUp, 3);
SYNC_BENCH(BM_Vantry_Sync_10ChangesDown, 3);
SYNC_BENCH(BM_Vdirsyncer_Sync_10ChangesDown, 3);

std::string Name(const char* benchmark, int iterations) {
    return std::string(benchmark) + "/iterations:" + std::to_string(iterations) + "/real_time";
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Bench shared;
    bench = &shared;
    RatioReporter reporter(
        {{Name("BM_Vdirsyncer_FirstSync_Upload1000", 1), Name("BM_Vantry_FirstSync_Upload1000", 1),
          "first upload: vdirsyncer / Vantry"},
         {Name("BM_Vdirsyncer_FirstSync_Download10000", 1),
          Name("BM_Vantry_FirstSync_Download10000", 1), "first download: vdirsyncer / Vantry"},
         {Name("BM_Vdirsyncer_Sync_NothingChanged", 3), Name("BM_Vantry_Sync_NothingChanged", 3),
          "nothing changed: vdirsyncer / Vantry"},
         {Name("BM_Vdirsyncer_Sync_10ChangesUp", 3), Name("BM_Vantry_Sync_10ChangesUp", 3),
          "10 changes up: vdirsyncer / Vantry"},
         {Name("BM_Vdirsyncer_Sync_10ChangesDown", 3), Name("BM_Vantry_Sync_10ChangesDown", 3),
          "10 changes down: vdirsyncer / Vantry"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return 0;
}
