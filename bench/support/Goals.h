// The goals a benchmark program is held to: after Google Benchmark's usual table, each goal is printed
// with the figure measured and whether it is met, one line a goal, so a run of tools/run-bench reads as
// a checklist. A goal is on a counter of a run, or on a run's time against another run's of the same
// program (ours against the reference it is measured beside).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// Besides the run's own counters, a goal may name the run's time per iteration, in microseconds.
inline const std::string kCpuMicroseconds = "time.cpu_us";
inline const std::string kRealMicroseconds = "time.real_us";

struct Goal {
    std::string benchmark; // the run's name, or the start of it
    std::string counter;   // the counter that holds the figure, or kCpuMicroseconds / kRealMicroseconds
    double target;
    bool atMost;           // true: the figure must not exceed the target; false: must stay below it
    std::string what;      // what the figure is, for the reader
};

// The time per iteration of one run over another's (each named by its start, the first run that matches).
struct RatioGoal {
    std::string numerator;
    std::string denominator;
    bool cpuTime;          // processor time, which a busy machine sways less; else wall time
    double target;
    bool atMost;
    std::string what;
};

class GoalReporter : public benchmark::ConsoleReporter {
public:
    explicit GoalReporter(std::vector<Goal> goals, std::vector<RatioGoal> ratios = {})
        : goals(std::move(goals)), ratios(std::move(ratios))
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0)
                continue;
            const double iterations = static_cast<double>(run.iterations);
            Times& time = times[run.benchmark_name()];
            time.cpuSeconds = run.cpu_accumulated_time / iterations;
            time.realSeconds = run.real_accumulated_time / iterations;
            order.push_back(run.benchmark_name());
            for (std::size_t i = 0; i < goals.size(); ++i) {
                double value = 0;
                if (run.benchmark_name().rfind(goals[i].benchmark, 0) == 0 && figure(run, goals[i].counter, value))
                    measured[i].push_back({run.benchmark_name(), value});
            }
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        printSummary();
        std::printf("\nGoals:\n");
        for (std::size_t i = 0; i < goals.size(); ++i) {
            const Goal& goal = goals[i];
            if (measured[i].empty()) {
                notMeasured(goal.what, goal.atMost, goal.target);
                continue;
            }
            for (const auto& [name, value] : measured[i])
                printGoal(goal.what, value, goal.atMost, goal.target, name);
        }
        for (const RatioGoal& goal : ratios) {
            const Times* over = find(goal.numerator);
            const Times* under = find(goal.denominator);
            const double denominator = under == nullptr ? 0 : goal.cpuTime ? under->cpuSeconds : under->realSeconds;
            if (over == nullptr || denominator <= 0) {
                notMeasured(goal.what, goal.atMost, goal.target);
                continue;
            }
            const double numerator = goal.cpuTime ? over->cpuSeconds : over->realSeconds;
            printGoal(goal.what, numerator / denominator, goal.atMost, goal.target,
                      goal.numerator + " / " + goal.denominator + (goal.cpuTime ? ", CPU time" : ", wall time"));
        }
        std::fflush(stdout);
    }

protected:
    // A table of the program's own, printed between Google Benchmark's and the goals.
    virtual void printSummary() {}

private:
    struct Times {
        double cpuSeconds = 0;
        double realSeconds = 0;
    };

    static bool figure(const Run& run, const std::string& counter, double& value)
    {
        const double iterations = static_cast<double>(run.iterations);
        if (counter == kCpuMicroseconds) {
            value = run.cpu_accumulated_time / iterations * 1e6;
            return true;
        }
        if (counter == kRealMicroseconds) {
            value = run.real_accumulated_time / iterations * 1e6;
            return true;
        }
        const auto found = run.counters.find(counter);
        if (found == run.counters.end())
            return false;
        value = found->second.value;
        return true;
    }

    const Times* find(const std::string& start) const
    {
        for (const std::string& name : order)
            if (name.rfind(start, 0) == 0)
                return &times.at(name);
        return nullptr;
    }

    static void printGoal(const std::string& what, double value, bool atMost, double target, const std::string& name)
    {
        const bool met = atMost ? value <= target : value < target;
        std::printf("  %-48s %8.2f  goal %s %.2f: %s  (%s)\n", what.c_str(), value, atMost ? "<=" : "<", target,
                    met ? "met" : "NOT met", name.c_str());
    }

    static void notMeasured(const std::string& what, bool atMost, double target)
    {
        std::printf("  %-48s goal %s %.2f: not measured\n", what.c_str(), atMost ? "<=" : "<", target);
    }

    std::vector<Goal> goals;
    std::vector<RatioGoal> ratios;
    std::map<std::size_t, std::vector<std::pair<std::string, double>>> measured;
    std::map<std::string, Times> times;
    std::vector<std::string> order; // the runs' names as they ran
};

// BENCHMARK_MAIN with the reporter's goals printed after the table.
inline int runWithReporter(int argc, char** argv, GoalReporter& reporter)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

inline int runWithGoals(int argc, char** argv, std::vector<Goal> goals, std::vector<RatioGoal> ratios = {})
{
    GoalReporter reporter(std::move(goals), std::move(ratios));
    return runWithReporter(argc, argv, reporter);
}

} // namespace bench
