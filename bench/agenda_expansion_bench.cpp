// The repeats that cost the most to expand, over a year: `vantry --agenda` for 2026 on a
// document with a secondly repeat, a minutely one and forty that never match
// (tests/support/costly_repeats), and each kind of series alone. Processor time; each
// expansion is bounded by its span and its budget, whatever the rule.
#include "app/command_line.h"
#include "model/vdays.h"
#include "model/vrecurrence.h"
#include "process_time.h"
#include "support/costly_repeats.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

const VWhen FIRST{DayNumber(2026, 1, 1), 0};
const long FROM = DayNumber(2026, 1, 1);
const long TO = DayNumber(2026, 12, 31);

struct Document {
    std::string path = "/tmp/vantry-expansion-bench-" + std::to_string(getpid()) + ".vnt";
    Document() {
        VCollection c;
        AddCostlyRepeats(c);
        c.Save(path.c_str());
    }
    ~Document() { std::remove(path.c_str()); }
};

void BM_AgendaOfCostlyRepeats(benchmark::State& state) {
    static Document document;
    std::size_t lines = 0;
    for (auto _ : state) {
        std::ostringstream out, err;
        double start = ProcessSeconds();
        int code = RunCommandLine({"--agenda", "--from", "2026-01-01", "--to", "2026-12-31",
                                   document.path},
                                  "", out, err);
        state.SetIterationTime(ProcessSeconds() - start);
        if (code != 0) state.SkipWithError(err.str().c_str());
        std::string text = out.str();
        lines = (std::size_t)std::count(text.begin(), text.end(), '\n');
    }
    state.counters["lines"] = (double)lines;
}
BENCHMARK(BM_AgendaOfCostlyRepeats)->Unit(benchmark::kMillisecond)->UseManualTime();

void expand(benchmark::State& state, const char* rule) {
    std::size_t found = 0;
    for (auto _ : state)
        found = Occurrences(rule, FIRST, FROM, TO).found.size();
    state.counters["occurrences"] = (double)found;
}

void BM_Secondly(benchmark::State& state) {
    expand(state, "FREQ=SECONDLY");
}
BENCHMARK(BM_Secondly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_Minutely(benchmark::State& state) {
    expand(state, "FREQ=MINUTELY");
}
BENCHMARK(BM_Minutely)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_FortyNeverMatching(benchmark::State& state) {
    for (auto _ : state)
        for (const NeverMatchingRule& never : NeverMatchingRules())
            benchmark::DoNotOptimize(Occurrences(never.rule, FIRST, FROM, TO));
}
BENCHMARK(BM_FortyNeverMatching)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// A series begun sixteen years ago costs what a new one does.
void BM_BirthdaySince2010(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            Occurrences("FREQ=YEARLY", {DayNumber(2010, 5, 17), std::nullopt}, FROM, TO));
}
BENCHMARK(BM_BirthdaySince2010)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

} // namespace

BENCHMARK_MAIN();
