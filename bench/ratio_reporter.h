#pragma once
// A Google Benchmark console reporter that also keeps each run's time per
// iteration, so a benchmark program can print its cases as ratios of their
// peers measured in the same run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }

    // Prints "ours / peer ratio"; nothing when either run is missing.
    void PrintRatio(const std::string& ours, const std::string& peer, int width = 40) const
    {
        auto a = times.find(ours);
        auto b = times.find(peer);
        if (a == times.end() || b == times.end() || b->second <= 0)
            return;
        std::printf("%-*s / %-*s %8.3f\n", width, ours.c_str(), width, peer.c_str(), a->second / b->second);
    }

    std::map<std::string, double> times;
};
