#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

namespace xk83t_bench {

// Heap allocations made in this process so far (malloc, calloc, realloc:
// jsoncpp's texts and, through operator new, every container node), or 0
// in builds where the allocator is not counted (sanitizers bring their own).
std::uint64_t allocations();
bool counting_allocations();

// Reports `made` allocations over the run as the counter "allocs", per
// iteration.
inline void report_allocations(benchmark::State& state, std::uint64_t made)
{
    if (counting_allocations())
        state.counters["allocs"] = benchmark::Counter(static_cast<double>(made), benchmark::Counter::kAvgIterations);
}

}  // namespace xk83t_bench
