// xk83t-replay replay ... | xk83t-replay check-rules ...

#include "replay.h"

#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "replay") == 0)
        return replay_main(argc - 1, argv + 1);
    if (argc >= 2 && std::strcmp(argv[1], "check-rules") == 0)
        return check_rules_main(argc - 1, argv + 1);
    std::cerr << "usage: xk83t-replay replay [--workdir DIR] SCENARIO\n"
                 "       xk83t-replay check-rules --data-id N --settings FILE [--workdir DIR]"
              << std::endl;
    return 2;
}
