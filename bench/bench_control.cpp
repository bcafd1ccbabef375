// Code 801 (the document as text): asked again on an unchanged document,
// and asked right after a cycle has changed it.

#include "allocation_counter.h"
#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <vector>

namespace xk83t_bench {
namespace {

constexpr int kDocumentText = 801;

int request_text(XK83T& device, std::vector<char>& out)
{
    int length = 0;
    if (device.DeviceIoControl(kDocumentText, nullptr, 0, out.data(), static_cast<int>(out.size()), length) != 0)
        throw std::runtime_error("the document text did not fit");
    return length;
}

void control_801(benchmark::State& state)
{
    BenchProcess process;
    QuietCout quiet;
    XK83T device;  // alarm mode 1: the cycle builds the document
    run_cycle(device, plant_replies(0));
    std::vector<char> out(1 << 17);
    int length = request_text(device, out);

    const std::uint64_t before = allocations();
    for (auto _ : state) {
        length = request_text(device, out);
        benchmark::DoNotOptimize(out.data());
    }
    report_allocations(state, allocations() - before);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * length);
}

void control_801_after_cycle(benchmark::State& state)
{
    BenchProcess process;
    QuietCout quiet;
    XK83T device;
    const auto even = plant_replies(0);
    const auto odd = plant_replies(1);
    run_cycle(device, even);
    std::vector<char> out(1 << 17);
    int length = request_text(device, out);

    bool flip = false;
    std::uint64_t made = 0;
    for (auto _ : state) {
        state.PauseTiming();
        run_cycle(device, flip ? even : odd);
        flip = !flip;
        const std::uint64_t before = allocations();
        state.ResumeTiming();
        length = request_text(device, out);
        benchmark::DoNotOptimize(out.data());
        made += allocations() - before;
    }
    report_allocations(state, made);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * length);
}

BENCHMARK(control_801)->Name("BM_Control801")->Unit(benchmark::kMicrosecond);
BENCHMARK(control_801_after_cycle)->Name("BM_Control801_AfterCycle")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace xk83t_bench
