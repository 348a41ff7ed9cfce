// iCalendar export and import of 100,000 items, side by side with python3-icalendar
// writing and reading the same data (the library a script user would pick). Both sides
// count processor time, so a busy machine changes neither much; Python times its own
// work, so its start-up is not counted against it.
#include "foundation/text_encoding.h"
#include "interop/ical_export.h"
#include "interop/ical_import.h"
#include "model/vcollection.h"
#include "model/vcommitem.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "process_time.h"
#include "ratio_reporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr int ITEMS = 100000;

std::string Path(const char* what) {
    return "/tmp/vantry-ical-bench-" + std::to_string(getpid()) + "-" + what;
}

// 100 folders of 1,000 items each: actions with dates, to-dos, calls, a tenth done.
void Fill(VCollection& c) {
    VNode* folder = nullptr;
    for (int i = 0; i < ITEMS; ++i) {
        if (i % 1000 == 0) {
            folder = c.Add(new VGroup(&c), c.root);
            folder->name = ("Project " + std::to_string(i / 1000)).c_str();
        }
        VNode* item;
        std::string text = "Item number " + std::to_string(i) + " with some words";
        switch (i % 3) {
        case 0: {
            auto* task = new VTask(&c);
            task->what = text.c_str();
            task->flags = 0;
            char date[16];
            std::snprintf(date, sizeof date, "20%02d-%02d-%02d", 20 + i % 10, 1 + i % 12,
                          1 + i % 28);
            task->startDate = date;
            task->duration = 1 + i % 5;
            task->priority = i % 4;
            item = task;
            break;
        }
        case 1: {
            auto* todo = new VTodo(&c);
            todo->what = text.c_str();
            todo->extra = "Details of the item";
            todo->priority = i % 4;
            item = todo;
            break;
        }
        default: {
            auto* call = new VCall(&c);
            call->who = text.c_str();
            call->reason = "a question";
            call->detail = "555-0100";
            item = call;
        }
        }
        if (i % 10 == 0) item->flags |= DONE;
        c.Add(item, folder);
    }
}

// The document, with its UIDs given, and its export, made once for the run.
struct Data {
    VCollection collection;
    std::string exported;
    Data() {
        Fill(collection);
        exported = ExportICalendar(collection, AllNodes(collection), "Bench").text;
        std::ofstream(Path("export.ics"), std::ios::binary) << exported;
    }
};

Data& TheData() {
    static Data data;
    return data;
}

void BM_VantryExport(benchmark::State& state) {
    Data& d = TheData();
    for (auto _ : state) {
        double start = ProcessSeconds();
        IcsExport e = ExportICalendar(d.collection, AllNodes(d.collection), "Bench");
        benchmark::DoNotOptimize(e.text.data());
        state.SetIterationTime(ProcessSeconds() - start);
    }
    state.SetItemsProcessed(state.iterations() * ITEMS);
}

void BM_VantryImport(benchmark::State& state) {
    Data& d = TheData();
    for (auto _ : state) {
        VCollection c;
        double start = ProcessSeconds();
        IcsImport i = ImportICalendar(c, d.exported);
        state.SetIterationTime(ProcessSeconds() - start);
        if (i.added != ITEMS) state.SkipWithError("not every item was imported");
    }
    state.SetItemsProcessed(state.iterations() * ITEMS);
}

// python3-icalendar reading the export (every item's fields, as an import would take them)
// and writing the same items from plain data.
const char* PYTHON_SCRIPT = R"(import sys, time, datetime, icalendar
mode, path = sys.argv[1], sys.argv[2]
if mode == 'read':
    data = open(path, 'rb').read()
    start = time.process_time()
    cal = icalendar.Calendar.from_ical(data)
    items = []
    for c in cal.walk('VTODO'):
        items.append((str(c['UID']), str(c['SUMMARY']), str(c.get('DESCRIPTION', '')),
                      c['DTSTART'].dt if 'DTSTART' in c else None,
                      c['DUE'].dt if 'DUE' in c else None, str(c.get('STATUS')),
                      int(c.get('PRIORITY', 0))))
    assert len(items) == int(sys.argv[3]), len(items)
else:
    rows = [line.rstrip('\n').split('\t') for line in open(path, encoding='utf-8')]
    start = time.process_time()
    cal = icalendar.Calendar()
    cal.add('prodid', '-//Bench//EN')
    cal.add('version', '2.0')
    stamp = datetime.datetime.now(datetime.timezone.utc)
    for uid, summary, description, dtstart, due, status, priority, category in rows:
        t = icalendar.Todo()
        t.add('uid', uid)
        t.add('dtstamp', stamp)
        t.add('summary', summary)
        if description:
            t.add('description', description)
        if dtstart:
            t.add('dtstart', datetime.date.fromisoformat(dtstart))
            t.add('due', datetime.date.fromisoformat(due))
        t.add('priority', int(priority))
        t.add('status', status)
        t.add('categories', [category])
        cal.add_component(t)
    out = cal.to_ical()
    assert out.count(b'BEGIN:VTODO') == len(rows)
print(time.process_time() - start)
)";

double RunPython(const std::string& arguments) {
    std::ofstream(Path("bench.py")) << PYTHON_SCRIPT;
    std::string command = "/usr/bin/python3 " + Path("bench.py") + " " + arguments;
    FILE* pipe = popen(command.c_str(), "r");
    double seconds = -1;
    if (pipe) {
        if (std::fscanf(pipe, "%lf", &seconds) != 1) seconds = -1;
        pclose(pipe);
    }
    return seconds;
}

// The same items as plain rows for the Python writer.
void WriteRows() {
    Data& d = TheData();
    std::ofstream rows(Path("rows.tsv"), std::ios::binary);
    VCollection& c = d.collection;
    for (VNode* node = c.root->next; node; node = node->next) {
        if (node->IsFolderKind()) continue;
        std::string summary, description, start, due;
        int priority = 5;
        if (auto* task = dynamic_cast<VTask*>(node)) {
            summary = task->what.Text();
            start = task->startDate.Text();
            due = start; // a day's difference does not change the work
        } else if (auto* todo = dynamic_cast<VTodo*>(node)) {
            summary = todo->what.Text();
            description = todo->extra.Text();
        } else if (auto* call = dynamic_cast<VCall*>(node)) {
            qstring text;
            call->Describe(text, false);
            summary = text.Text();
            description = "Who: " + std::string(call->who.Text());
        }
        rows << c.extensions.Field(node, VExtensions::UID) << '\t'
             << TextToUtf8(summary, TextEncoding::Windows1252) << '\t' << description << '\t'
             << start << '\t' << due << '\t'
             << ((node->flags & DONE) ? "COMPLETED" : "NEEDS-ACTION") << '\t' << priority << '\t'
             << node->parent->name.Text() << '\n';
    }
}

void BM_PythonIcalendarWrite(benchmark::State& state) {
    WriteRows();
    for (auto _ : state) {
        double seconds = RunPython("write " + Path("rows.tsv"));
        if (seconds < 0) state.SkipWithError("python3-icalendar did not run");
        state.SetIterationTime(seconds);
    }
    state.SetItemsProcessed(state.iterations() * ITEMS);
}

void BM_PythonIcalendarRead(benchmark::State& state) {
    TheData();
    for (auto _ : state) {
        double seconds = RunPython("read " + Path("export.ics") + " " + std::to_string(ITEMS));
        if (seconds < 0) state.SkipWithError("python3-icalendar did not run");
        state.SetIterationTime(seconds);
    }
    state.SetItemsProcessed(state.iterations() * ITEMS);
}

} // namespace

BENCHMARK(BM_VantryExport)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_PythonIcalendarWrite)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
BENCHMARK(BM_VantryImport)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_PythonIcalendarRead)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter({});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // Processor time of python3-icalendar over Vantry's, for the same items.
    const std::pair<const char*, const char*> pairs[] = {
        {"BM_PythonIcalendarWrite/iterations:1/manual_time", "BM_VantryExport/manual_time"},
        {"BM_PythonIcalendarRead/iterations:1/manual_time", "BM_VantryImport/manual_time"}};
    for (auto [python, vantry] : pairs)
        if (reporter.Time(python) > 0 && reporter.Time(vantry) > 0)
            std::printf("%s / %s: %.1fx\n", python, vantry,
                        reporter.Time(python) / reporter.Time(vantry));
    benchmark::Shutdown();
    for (const char* file : {"export.ics", "rows.tsv", "bench.py"})
        std::remove(Path(file).c_str());
    return 0;
}
