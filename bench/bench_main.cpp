// xk83t_bench: the Google Benchmark suite; with --memory the heap held per
// device, with --wire-time the line time of one cycle.

#include "memory_per_device.h"
#include "wire_time.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--memory") == 0)
            return xk83t_bench::report_memory(std::cout);
        if (std::strcmp(argv[i], "--wire-time") == 0)
            return xk83t_bench::report_wire_time(std::cout);
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
