// `vantry --agenda` for one year over 100,000 items, 10,000 of them repeating, side by side
// with python3-recurring-ical-events expanding the same items from their iCalendar export.
// Both sides count processor time from the file on: Vantry loads the document and prints
// the agenda, Python parses the .ics and lists the occurrences (its start-up not counted).
#include "app/command_line.h"
#include "interop/ical_export.h"
#include "model/vcollection.h"
#include "model/vdays.h"
#include "model/vschedule.h"
#include "model/vtodo.h"
#include "process_time.h"
#include "ratio_reporter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

constexpr int ITEMS = 100000;
constexpr int REPEATING = 10000; // every tenth item
const char* FROM = "2026-01-01";
const char* TO = "2026-12-31";

std::string Path(const char* what) {
    return "/tmp/vantry-agenda-bench-" + std::to_string(getpid()) + "-" + what;
}

// The repeats people give their items.
const char* const RULES[] = {
    "FREQ=DAILY;COUNT=30",
    "FREQ=WEEKLY",
    "FREQ=WEEKLY;INTERVAL=2;BYDAY=TU,TH",
    "FREQ=MONTHLY",
    "FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1",
    "FREQ=MONTHLY;BYMONTHDAY=31",
    "FREQ=YEARLY",
    "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR;UNTIL=20260630",
};

// 100 folders of 1,000 to-dos due over the year, a tenth of them at a time of day; every
// tenth repeats.
struct Data {
    std::string document = Path("agenda.vnt");
    std::string ics = Path("agenda.ics");
    Data() {
        VCollection c;
        VNode* folder = nullptr;
        long first = DayNumber(2026, 1, 1);
        for (int i = 0; i < ITEMS; ++i) {
            if (i % 1000 == 0) {
                folder = c.Add(new VGroup(&c), c.root);
                folder->name = ("Project " + std::to_string(i / 1000)).c_str();
            }
            auto* todo = new VTodo(&c);
            todo->what = ("Item number " + std::to_string(i)).c_str();
            c.Add(todo, folder);
            VSchedule s;
            s.dueDay = first + i % 365;
            if (i % 10 == 3) s.dueMinute = 8 * 60 + i % 600;
            if (i % (ITEMS / REPEATING) == 0) s.rule = RULES[i / 10 % std::size(RULES)];
            SetSchedule(c, todo, s);
        }
        c.Save(document.c_str());
        std::ofstream(ics, std::ios::binary) << ExportICalendar(c, AllNodes(c), "Bench").text;
    }
    ~Data() {
        std::remove(document.c_str());
        std::remove(ics.c_str());
    }
};

Data& TheData() {
    static Data data;
    return data;
}

std::size_t Lines(const std::string& text) {
    return (std::size_t)std::count(text.begin(), text.end(), '\n');
}

std::size_t& VantryOccurrences() {
    static std::size_t count = 0;
    return count;
}

void BM_VantryAgenda(benchmark::State& state) {
    Data& d = TheData();
    for (auto _ : state) {
        std::ostringstream out, err;
        double start = ProcessSeconds();
        int code =
            RunCommandLine({"--agenda", "--from", FROM, "--to", TO, d.document}, "", out, err);
        state.SetIterationTime(ProcessSeconds() - start);
        if (code != 0) state.SkipWithError(err.str().c_str());
        VantryOccurrences() = Lines(out.str());
    }
    state.counters["occurrences"] = (double)VantryOccurrences();
}

const char* PYTHON_SCRIPT = R"(import sys, time, datetime, icalendar, recurring_ical_events
data = open(sys.argv[1], 'rb').read()
start = time.process_time()
cal = icalendar.Calendar.from_ical(data)
first = datetime.date.fromisoformat(sys.argv[2])
last = datetime.date.fromisoformat(sys.argv[3]) + datetime.timedelta(days=1)
lines = []
for c in recurring_ical_events.of(cal, components=['VTODO']).between(first, last):
    lines.append(str(c['DTSTART'].dt) + '\t' + str(c['SUMMARY']))
print(time.process_time() - start, len(lines))
)";

void BM_PythonRecurringIcalEvents(benchmark::State& state) {
    Data& d = TheData();
    std::ofstream(Path("bench.py")) << PYTHON_SCRIPT;
    for (auto _ : state) {
        std::string command =
            "/usr/bin/python3 " + Path("bench.py") + " " + d.ics + " " + FROM + " " + TO;
        FILE* pipe = popen(command.c_str(), "r");
        double seconds = -1;
        long occurrences = 0;
        if (pipe) {
            if (std::fscanf(pipe, "%lf %ld", &seconds, &occurrences) != 2) seconds = -1;
            pclose(pipe);
        }
        if (seconds < 0) {
            state.SkipWithError("python3-recurring-ical-events did not run");
            break;
        }
        state.SetIterationTime(seconds);
        state.counters["occurrences"] = (double)occurrences;
    }
    std::remove(Path("bench.py").c_str());
}

} // namespace

BENCHMARK(BM_VantryAgenda)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_PythonRecurringIcalEvents)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter({});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const char* python = "BM_PythonRecurringIcalEvents/iterations:1/manual_time";
    const char* vantry = "BM_VantryAgenda/manual_time";
    if (reporter.Time(python) > 0 && reporter.Time(vantry) > 0)
        std::printf("%s / %s: %.1fx\n", python, vantry,
                    reporter.Time(python) / reporter.Time(vantry));
    benchmark::Shutdown();
    return 0;
}
