// xk83t-host: a reference host for the XK83T plug-in. It loads xk83t.so,
// supplies the host's symbols and services, and polls devices over real
// Modbus (libmodbus).

#include "commands.h"

#include <replay.h>

#include <cstring>
#include <iostream>

namespace {

struct Command {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* summary;
};

constexpr Command kCommands[] = {
    {"demo", xk83t_host::run_demo, "start a simulated XK83T on a pseudo-terminal and poll it for a few cycles"},
    {"poll", xk83t_host::run_poll, "poll a device (or those of a host configuration) until stopped"},
    {"replay", replay_main, "run the plug-in offline from a JSON Lines scenario and trace every host call"},
    {"check-rules", check_rules_main, "read a device's settings and rule file and check every rule loaded"},
};

void usage(std::ostream& out)
{
    out << "usage: xk83t-host COMMAND [options]\n\ncommands:\n";
    for (const Command& c : kCommands)
        out << "  " << c.name << std::string(13 - std::strlen(c.name), ' ') << c.summary << '\n';
    out << "\nxk83t-host COMMAND --help lists a command's options." << std::endl;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        usage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 2 : 0;
    }
    for (const Command& c : kCommands)
        if (std::strcmp(argv[1], c.name) == 0)
            return c.run(argc - 1, argv + 1);
    std::cerr << "xk83t-host: no command \"" << argv[1] << "\"\n";
    usage(std::cerr);
    return 2;
}
