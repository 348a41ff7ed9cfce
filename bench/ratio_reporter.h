// A console reporter that also prints how many times one benchmark's time is another's.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    struct Ratio {
        std::string slower, faster, label;
    };
    explicit RatioReporter(std::vector<Ratio> wanted) : ratios(std::move(wanted)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            times[run.benchmark_name()] = run.GetAdjustedRealTime();
            cpuTimes[run.benchmark_name()] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const Ratio& r : ratios)
            if (times.count(r.slower) && times.count(r.faster))
                // Processor time too: on a busy machine the elapsed times wait their turn.
                std::printf("%-40s %10.1fx (processor time %.2fx)\n", r.label.c_str(),
                            times[r.slower] / times[r.faster],
                            cpuTimes[r.slower] / cpuTimes[r.faster]);
    }
    // Time of a benchmark in its display unit, or 0 when it did not run.
    double Time(const std::string& name) const {
        auto found = times.find(name);
        return found == times.end() ? 0 : found->second;
    }

  private:
    std::vector<Ratio> ratios;
    std::map<std::string, double> times, cpuTimes;
};

// The ratios of a plain algorithm's benchmark to the fast one's at 1,000, 10,000 and
// 100,000 nodes, where the plain one runs a single iteration at the largest size.
inline std::vector<RatioReporter::Ratio> SizeRatios(const std::string& plain,
                                                    const std::string& fast) {
    std::vector<RatioReporter::Ratio> ratios;
    for (const char* size : {"1000", "10000", "100000"}) {
        std::string reference = "BM_" + plain + "/" + size;
        if (std::string(size) == "100000") reference += "/iterations:1";
        ratios.push_back({reference, "BM_" + fast + "/" + size,
                          "reference / " + fast + " at " + size + " nodes"});
    }
    return ratios;
}
