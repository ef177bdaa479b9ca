#pragma once

// What several benchmarks share: a console reporter that also keeps each run's time, so the
// figures can be printed beside their reference, and the median of a few timings.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                realNs[run.benchmark_name()] = run.real_accumulated_time * 1e9 / double(run.iterations);
                cpuNs[run.benchmark_name()] = run.cpu_accumulated_time * 1e9 / double(run.iterations);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // Nanoseconds per iteration, by benchmark name.
    std::map<std::string, double> realNs;
    std::map<std::string, double> cpuNs;
};

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
