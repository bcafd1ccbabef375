#pragma once

// The host's subcommands. Each takes its own arguments (argv[0] is the
// subcommand's name) and returns the process's exit code.

#include <atomic>

namespace xk83t_host {

int run_demo(int argc, char** argv);
int run_poll(int argc, char** argv);

// Set by SIGINT and SIGTERM; loops stop after the exchange in progress.
extern std::atomic<bool> stop_requested;
void install_stop_handlers();

}  // namespace xk83t_host
