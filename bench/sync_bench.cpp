// Sync of 10,000 items with a local Radicale, side by side with vdirsyncer syncing the
// same calendar to a folder: the first sync (Vantry uploading a document, Vantry and
// vdirsyncer each downloading everything), a sync with nothing to do, and syncs with 10
// changes (the target: within 2 s). Wall time, since the server's work is most of it;
// vdirsyncer's times include starting Python.
#include "model/vcollection.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "ratio_reporter.h"
#include "sync/caldav_sync.h"
#include "sync/dav_servers.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr int ITEMS = 10000;
constexpr int CHANGES = 10;

struct Bench {
    std::string folder = "/tmp/vantry-sync-bench-" + std::to_string(getpid());
    DavServer server;
    VCollection laptop, desktop; // the one that uploads, the one that downloads
    SyncOptions options;
    int round = 0;

    Bench() {
        options.password = "secret";
        std::string output;
        Shell("mkdir -p " + folder + "/vdir", output);
        if (!server.Start(ServerKind::Radicale, folder)) {
            std::fprintf(stderr, "sync_bench: Radicale did not start (%s/server.log)\n",
                         folder.c_str());
            std::exit(1);
        }
        for (int i = 0; i < ITEMS; i += 1000) {
            VNode* project = laptop.Add(new VGroup(&laptop), laptop.root);
            project->name = ("Project " + std::to_string(i / 1000)).c_str();
            for (int j = i; j < i + 1000; ++j) {
                std::string text = "Item number " + std::to_string(j) + " with some words";
                if (j % 2) {
                    auto* task = new VTask(&laptop);
                    task->what = text.c_str();
                    task->flags = 0;
                    task->startDate = "2027-03-01";
                    task->duration = 1 + j % 5;
                    laptop.Add(task, project);
                } else {
                    auto* todo = new VTodo(&laptop);
                    todo->what = text.c_str();
                    laptop.Add(todo, project);
                }
            }
        }
        for (VCollection* c : {&laptop, &desktop})
            SetSyncAccount(*c, {server.CalendarUrl(), "test"});
        std::ofstream(folder + "/vdirsyncer.conf")
            << "[general]\nstatus_path = \"" << folder << "/status/\"\n"
            << "[pair calendar]\na = \"vdir\"\nb = \"radicale\"\ncollections = null\n"
            << "[storage vdir]\ntype = \"filesystem\"\npath = \"" << folder
            << "/vdir/\"\nfileext = \".ics\"\n"
            << "[storage radicale]\ntype = \"caldav\"\nurl = \"" << server.CalendarUrl()
            << "\"\nusername = \"test\"\npassword = \"secret\"\n";
    }
    ~Bench() {
        server.Stop();
        std::string output;
        Shell("rm -rf " + folder, output);
    }

    // One whole sync of the document, as the window and the command line run it.
    SyncResult Sync(VCollection& c) {
        SyncSnapshot snapshot = TakeSyncSnapshot(c);
        SyncResult result = ExchangeWithServer(snapshot, options);
        ApplySyncResult(c, snapshot, result);
        return result;
    }
    void Vdirsyncer(benchmark::State& state, const char* command) {
        std::string output;
        if (Shell("vdirsyncer -c " + folder + "/vdirsyncer.conf " + command, output) != 0)
            state.SkipWithError(("vdirsyncer: " + output).c_str());
    }
    // Changes the text of CHANGES items of the laptop.
    void Change() {
        ++round;
        int n = 0;
        for (VNode* node = laptop.root->next; node && n < CHANGES; node = node->next)
            if (auto* todo = dynamic_cast<VTodo*>(node)) {
                todo->what =
                    ("Changed in round " + std::to_string(round) + ", item " + std::to_string(n++))
                        .c_str();
            }
    }
};

Bench* bench = nullptr;

void Check(benchmark::State& state, const SyncResult& result, std::size_t uploaded,
           std::size_t downloaded) {
    if (result.status != SyncResult::Status::Done)
        state.SkipWithError(("sync failed: " + result.error).c_str());
    else if (result.uploaded.size() != uploaded || result.downloaded.size() != downloaded)
        state.SkipWithError(("unexpected counts: " + std::to_string(result.uploaded.size()) +
                             " up, " + std::to_string(result.downloaded.size()) + " down")
                                .c_str());
}

void BM_Vantry_FirstSync_Upload(benchmark::State& state) {
    for (auto _ : state)
        Check(state, bench->Sync(bench->laptop), ITEMS, 0);
}
void BM_Vantry_FirstSync_Download(benchmark::State& state) {
    for (auto _ : state)
        Check(state, bench->Sync(bench->desktop), 0, ITEMS);
}
void BM_Vdirsyncer_FirstSync_Download(benchmark::State& state) {
    bench->Vdirsyncer(state, "discover calendar > /dev/null");
    for (auto _ : state)
        bench->Vdirsyncer(state, "sync");
}
void BM_Vantry_Sync_NothingChanged(benchmark::State& state) {
    for (auto _ : state)
        Check(state, bench->Sync(bench->desktop), 0, 0);
}
void BM_Vdirsyncer_Sync_NothingChanged(benchmark::State& state) {
    for (auto _ : state)
        bench->Vdirsyncer(state, "sync");
}
// The laptop uploads ten changes; the desktop and vdirsyncer then download them.
void BM_Vantry_Sync_10ChangesUp(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        bench->Change();
        state.ResumeTiming();
        Check(state, bench->Sync(bench->laptop), CHANGES, 0);
        state.PauseTiming();
        Check(state, bench->Sync(bench->desktop), 0, CHANGES);
        bench->Vdirsyncer(state, "sync");
        state.ResumeTiming();
    }
}
void BM_Vantry_Sync_10ChangesDown(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        bench->Change();
        Check(state, bench->Sync(bench->laptop), CHANGES, 0);
        state.ResumeTiming();
        Check(state, bench->Sync(bench->desktop), 0, CHANGES);
        state.PauseTiming();
        bench->Vdirsyncer(state, "sync");
        state.ResumeTiming();
    }
}
void BM_Vdirsyncer_Sync_10ChangesDown(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        bench->Change();
        Check(state, bench->Sync(bench->laptop), CHANGES, 0);
        Check(state, bench->Sync(bench->desktop), 0, CHANGES);
        state.ResumeTiming();
        bench->Vdirsyncer(state, "sync");
    }
}

#define SYNC_BENCH(name, iterations)                                                               \
    BENCHMARK(name)->Iterations(iterations)->UseRealTime()->Unit(benchmark::kMillisecond)
SYNC_BENCH(BM_Vantry_FirstSync_Upload, 1);
SYNC_BENCH(BM_Vantry_FirstSync_Download, 1);
SYNC_BENCH(BM_Vdirsyncer_FirstSync_Download, 1);
SYNC_BENCH(BM_Vantry_Sync_NothingChanged, 3);
SYNC_BENCH(BM_Vdirsyncer_Sync_NothingChanged, 3);
SYNC_BENCH(BM_Vantry_Sync_10ChangesUp, 3);
SYNC_BENCH(BM_Vantry_Sync_10ChangesDown, 3);
SYNC_BENCH(BM_Vdirsyncer_Sync_10ChangesDown, 3);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Bench shared;
    bench = &shared;
    RatioReporter reporter({{"BM_Vdirsyncer_FirstSync_Download/iterations:1/real_time",
                             "BM_Vantry_FirstSync_Download/iterations:1/real_time",
                             "first download: vdirsyncer / Vantry"},
                            {"BM_Vdirsyncer_Sync_NothingChanged/iterations:3/real_time",
                             "BM_Vantry_Sync_NothingChanged/iterations:3/real_time",
                             "nothing changed: vdirsyncer / Vantry"},
                            {"BM_Vdirsyncer_Sync_10ChangesDown/iterations:3/real_time",
                             "BM_Vantry_Sync_10ChangesDown/iterations:3/real_time",
                             "10 changes down: vdirsyncer / Vantry"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return 0;
}
