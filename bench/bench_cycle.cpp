// Whole polling cycles in each alarm mode, and a cycle completed from the
// cache.

#include "allocation_counter.h"
#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace xk83t_bench {
namespace {

// Successive cycles alternate between two slightly different plants, so
// values move the way they do between real cycles.
enum class RuleSet { kFull, kHalf, kNone };

// The measured cycles only, in a function of their own, so that a profiler
// can tell them from the setup: valgrind --tool=callgrind
// --toggle-collect='*steady_cycle*' counts the instructions of the steady
// state alone (docs/performance.md).
[[gnu::noinline]] void steady_cycle(XK83T& device, const std::vector<std::vector<unsigned short>>& replies)
{
    run_cycle(device, replies);
}

void cycle(benchmark::State& state, int mode, RuleSet set)
{
    BenchProcess process;
    QuietCout quiet;
    XK83T device;
    const std::vector<NumericSignal> signals = numeric_signals();
    const std::size_t ruled = set == RuleSet::kFull ? signals.size() : set == RuleSet::kHalf ? signals.size() / 2 : 0;
    const std::size_t rules = install_rules(device, mode, ruled, signals);
    const auto even = plant_replies(0);
    const auto odd = plant_replies(1);
    run_cycle(device, even);  // the first build is not the steady state

    bool flip = false;
    const std::uint64_t before = allocations();
    for (auto _ : state) {
        steady_cycle(device, flip ? even : odd);
        flip = !flip;
    }
    report_allocations(state, allocations() - before);
    state.counters["rules"] = static_cast<double>(rules);
}

void load_from_cache(benchmark::State& state)
{
    BenchProcess process;
    QuietCout quiet;
    XK83T device;  // alarm mode 1 without rules: each load rebuilds the document
    run_cycle(device, plant_replies(0));
    const XK83T_Data_t saved = device.data_;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&saved);

    const std::uint64_t before = allocations();
    for (auto _ : state)
        benchmark::DoNotOptimize(device.LoadFromCache(bytes, sizeof saved));
    report_allocations(state, allocations() - before);
}

// BM_Cycle/<mode> carries the full rule set of the mode; /half and /none
// show how the cost grows with the number of rules.
const bool registered = [] {
    benchmark::RegisterBenchmark("BM_Cycle/0", cycle, 0, RuleSet::kNone)->Unit(benchmark::kMicrosecond);
    for (int mode : {1, 3, 5}) {
        const std::string name = "BM_Cycle/" + std::to_string(mode);
        benchmark::RegisterBenchmark(name.c_str(), cycle, mode, RuleSet::kFull)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((name + "/half").c_str(), cycle, mode, RuleSet::kHalf)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((name + "/none").c_str(), cycle, mode, RuleSet::kNone)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("BM_LoadFromCache", load_from_cache)->Unit(benchmark::kMicrosecond);
    return true;
}();

}  // namespace
}  // namespace xk83t_bench
