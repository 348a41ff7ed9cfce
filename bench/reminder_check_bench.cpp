// One check of the reminders, as the window's timer makes after every change of the
// document: 100,000 to-dos due over a year, each with a reminder, 10,000 of them repeating.
#include "app/reminder_scheduler.h"
#include "model/vcollection.h"
#include "model/vdays.h"
#include "model/vgroup.h"
#include "model/vschedule.h"
#include "model/vtodo.h"

#include <benchmark/benchmark.h>

#include <iterator>
#include <string>

namespace {

constexpr int ITEMS = 100000;
constexpr int REPEATING = 10000;

const char* const RULES[] = {"FREQ=DAILY", "FREQ=WEEKLY;BYDAY=MO,WE,FR", "FREQ=MONTHLY",
                             "FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1", "FREQ=YEARLY"};

void Fill(VCollection& c) {
    VNode* folder = nullptr;
    long first = DayNumber(2026, 1, 1);
    for (int i = 0; i < ITEMS; ++i) {
        if (i % 1000 == 0) folder = c.Add(new VGroup(&c), c.root);
        auto* todo = new VTodo(&c);
        todo->what = ("Item number " + std::to_string(i)).c_str();
        c.Add(todo, folder);
        VSchedule s;
        s.dueDay = first + i % 365;
        s.dueMinute = 8 * 60 + i % 600;
        s.reminderMinutes = (i % 4) * 30;
        if (i % (ITEMS / REPEATING) == 0) s.rule = RULES[i / 10 % std::size(RULES)];
        SetSchedule(c, todo, s);
    }
}

// A check in the middle of the year, after the first (which records what was missed).
void BM_ReminderCheck(benchmark::State& state) {
    VCollection c;
    Fill(c);
    ReminderScheduler scheduler;
    std::time_t now = LocalInstant({DayNumber(2026, 7, 1), 12 * 60});
    scheduler.Check(c, now);
    for (auto _ : state) {
        now += 60;
        benchmark::DoNotOptimize(scheduler.Check(c, now));
    }
}
BENCHMARK(BM_ReminderCheck)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

} // namespace

BENCHMARK_MAIN();
