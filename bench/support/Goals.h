// The goals a benchmark program is held to: after Google Benchmark's usual table, each goal is printed
// with the figure measured and whether it is met, so a run of tools/run-bench reads as a checklist.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

struct Goal {
    std::string benchmark; // the run's name, or the start of it
    std::string counter;   // the counter that holds the figure
    double target;
    bool atMost;           // true: the figure must not exceed the target; false: must stay below it
    std::string what;      // what the figure is, for the reader
};

class GoalReporter : public benchmark::ConsoleReporter {
public:
    explicit GoalReporter(std::vector<Goal> goals) : goals(std::move(goals)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            for (std::size_t i = 0; i < goals.size(); ++i) {
                const auto counter = run.counters.find(goals[i].counter);
                if (run.benchmark_name().rfind(goals[i].benchmark, 0) == 0 && counter != run.counters.end())
                    measured[i].push_back({run.benchmark_name(), counter->second.value});
            }
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nGoals:\n");
        for (std::size_t i = 0; i < goals.size(); ++i) {
            const Goal& goal = goals[i];
            if (measured[i].empty()) {
                std::printf("  %-48s goal %s %.2f: not measured\n", goal.what.c_str(), goal.atMost ? "<=" : "<",
                            goal.target);
                continue;
            }
            for (const auto& [name, value] : measured[i]) {
                const bool met = goal.atMost ? value <= goal.target : value < goal.target;
                std::printf("  %-48s %8.2f  goal %s %.2f: %s  (%s)\n", goal.what.c_str(), value,
                            goal.atMost ? "<=" : "<", goal.target, met ? "met" : "NOT met", name.c_str());
            }
        }
        std::fflush(stdout);
    }

private:
    std::vector<Goal> goals;
    std::map<std::size_t, std::vector<std::pair<std::string, double>>> measured;
};

// BENCHMARK_MAIN with the goals printed after the table.
inline int runWithGoals(int argc, char** argv, std::vector<Goal> goals)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    GoalReporter reporter(std::move(goals));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
