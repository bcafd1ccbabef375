#include "replay.h"

#include "runner.h"

#include <fstream>
#include <iostream>
#include <string>

namespace {

int usage()
{
    std::cerr << "usage: replay [--workdir DIR] SCENARIO   (SCENARIO \"-\" reads standard input)" << std::endl;
    return 2;
}

}  // namespace

int replay_main(int argc, char** argv)
{
    xk83t_replay::ReplayOptions options;
    std::string scenario;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--workdir" && i + 1 < argc)
            options.workdir = argv[++i];
        else if (arg == "--help" || arg == "-h")
            return usage();
        else if (scenario.empty() && (arg == "-" || arg.rfind("--", 0) != 0))
            scenario = arg;
        else
            return usage();
    }
    if (scenario.empty())
        return usage();

    // The plug-in's console lines are captured into the trace; the trace
    // itself goes to standard output through a stream of its own.
    std::ostream trace(std::cout.rdbuf());
    if (scenario == "-")
        return xk83t_replay::run_scenario(std::cin, "<stdin>", trace, std::cerr, options);
    std::ifstream file(scenario, std::ios::binary);
    if (!file) {
        std::cerr << "cannot open " << scenario << std::endl;
        return 2;
    }
    return xk83t_replay::run_scenario(file, scenario, trace, std::cerr, options);
}
