// xk83t_bench: the Google Benchmark suite, or with --memory the heap held
// per device.

#include "memory_per_device.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--memory") == 0)
            return xk83t_bench::report_memory(std::cout);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
