#pragma once

#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <string>
#include <utility>

namespace bench {

// The process's processor time, user and system, of all its threads.
inline double ProcessorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Wall and processor time, summed over the runs of one step. The machines these figures come
// from are shared: the wall time swings with what else runs, the processor time far less, so
// both are reported and ratios are taken of each.
struct Span
{
    double wall = 0;
    double processor = 0;
    long long runs = 0;

    // Runs `work` once and adds its times; returns what `work` returns.
    template <typename Work> decltype(auto) time(Work&& work)
    {
        const double processorStart = ProcessorSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        struct Add
        {
            Span& span;
            double processorStart;
            std::chrono::steady_clock::time_point wallStart;
            ~Add()
            {
                span.wall +=
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart)
                        .count();
                span.processor += ProcessorSeconds() - processorStart;
                ++span.runs;
            }
        } add{*this, processorStart, wallStart};
        return std::forward<Work>(work)();
    }

    double wallPerRun() const { return runs > 0 ? wall / static_cast<double>(runs) : 0; }
    double processorPerRun() const { return runs > 0 ? processor / static_cast<double>(runs) : 0; }
};

// Counters `<name>_ms` and `<name>_cpu_ms` (`_us` with `micro`): the wall and processor time
// of one run of a step.
inline void ReportTime(benchmark::State& state, const std::string& name, const Span& span,
                       bool micro = false)
{
    const std::string unit = micro ? "_us" : "_ms";
    const double scale = micro ? 1e6 : 1e3;
    state.counters[name + unit] = span.wallPerRun() * scale;
    state.counters[name + "_cpu" + unit] = span.processorPerRun() * scale;
}

// Counters `<name>_wall` and `<name>_cpu`: the ratio of `measured` to `baseline`, per run, in
// wall time and in processor time.
inline void ReportRatio(benchmark::State& state, const std::string& name, const Span& measured,
                        const Span& baseline)
{
    state.counters[name + "_wall"] = measured.wallPerRun() / baseline.wallPerRun();
    state.counters[name + "_cpu"] = measured.processorPerRun() / baseline.processorPerRun();
}

// Every benchmark is run five times and reported by the median of its runs (and their mean and
// spread): one run on a shared machine can be far off.
constexpr int Repetitions = 5;
inline void Repeated(benchmark::internal::Benchmark* b)
{
    b->Repetitions(Repetitions)->ReportAggregatesOnly(true)->MeasureProcessCPUTime();
}

} // namespace bench
