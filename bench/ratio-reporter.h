#pragma once

// Runs the registered benchmarks, named "case/path", and then prints, for
// every case, how many times faster each path is than the reference path
// measured in the same run (the medians of repetitions).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Pairs of paths (a path, and the base it is set against) whose cost is
// given too: how many times as long the path takes as its base.
using CostPairs = std::vector<std::pair<std::string, std::string>>;

class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::string reference, CostPairs costs = {})
        : reference(std::move(reference)), costs(std::move(costs)) {}

    void ReportRuns(std::vector<Run> const& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (Run const& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
            std::string const name = baseName(run.benchmark_name());
            auto const slash = name.rfind('/');
            if (slash == std::string::npos) continue;
            times[name.substr(0, slash)][name.substr(slash + 1)].push_back(run.GetAdjustedRealTime());
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%s / path (how many times faster each path is than %s):\n", reference.c_str(),
                    reference.c_str());
        for (auto const& [name, paths] : times) {
            auto const found = paths.find(reference);
            if (found == paths.end()) continue;
            for (auto const& [path, measures] : paths) {
                double const time = median(measures);
                if (path != reference && time > 0) {
                    std::printf("  %-56s %12.1f x\n", (name + "/" + path).c_str(), median(found->second) / time);
                }
            }
        }
        for (auto const& [path, base] : costs) {
            std::printf("\n%s / %s (how many times as long %s takes):\n", path.c_str(), base.c_str(), path.c_str());
            for (auto const& [name, paths] : times) {
                auto const over = paths.find(path), under = paths.find(base);
                if (over == paths.end() || under == paths.end()) continue;
                double const below = median(under->second);
                if (below > 0)
                    std::printf("  %-56s %12.2f x\n", (name + "/" + path).c_str(), median(over->second) / below);
            }
        }
    }

private:
    // The name without the run settings ("/iterations:3", "/min_time:3.000")
    // and with an argument moved before the path: "Move/new/1000" becomes
    // "Move/1000/new".
    static std::string baseName(std::string name) {
        for (char const* setting : {"/iterations:", "/min_time:", "/real_time"}) {
            auto const at = name.find(setting);
            if (at != std::string::npos) name.erase(at, name.find('/', at + 1) - at);
        }
        auto const last = name.rfind('/');
        auto const before = last == std::string::npos ? last : name.rfind('/', last - 1);
        if (before != std::string::npos && std::isdigit(static_cast<unsigned char>(name[last + 1]))) {
            name = name.substr(0, before) + name.substr(last) + name.substr(before, last - before);
        }
        return name;
    }

    std::string reference;
    CostPairs costs;
    static double median(std::vector<double> values) {
        if (values.empty()) return 0;
        std::sort(values.begin(), values.end());
        size_t const half = values.size() / 2;
        return values.size() % 2 ? values[half] : (values[half - 1] + values[half]) / 2;
    }
    // The time of every repetition of every case's paths.
    std::map<std::string, std::map<std::string, std::vector<double>>> times;
};

inline int runBenchmarksWithRatios(int argc, char** argv, std::string reference = "old", CostPairs costs = {}) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(std::move(reference), std::move(costs));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
