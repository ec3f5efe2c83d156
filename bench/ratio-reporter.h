#pragma once

// Runs the registered benchmarks and then prints, for every pair whose names
// differ only in "old" and "new", how many times faster the new path is.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(std::vector<Run> const& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (Run const& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                times[baseName(run.benchmark_name())] = run.GetAdjustedRealTime();
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nold / new (how many times faster the new path is):\n");
        for (auto const& [name, oldTime] : times) {
            auto const at = name.find("/old");
            if (at == std::string::npos) continue;
            std::string counterpart = name;
            counterpart.replace(at, 4, "/new");
            auto const found = times.find(counterpart);
            if (found == times.end() || found->second <= 0) continue;
            std::printf("  %-48s %10.1f x\n", counterpart.c_str(), oldTime / found->second);
        }
    }

private:
    // The name without the run settings ("/iterations:3", "/min_time:3.000").
    static std::string baseName(std::string name) {
        for (char const* setting : {"/iterations:", "/min_time:"}) {
            auto const at = name.find(setting);
            if (at != std::string::npos) name.erase(at, name.find('/', at + 1) - at);
        }
        return name;
    }

    std::map<std::string, double> times;
};

inline int runBenchmarksWithRatios(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
