#pragma once

// The host's main loop: every device polled once per cycle, then shown:
// the display document as a table and the alarm events of the cycle, or,
// with --json, one document per line.

#include "host_session.h"
#include "terminal.h"

#include <atomic>
#include <chrono>
#include <functional>

namespace xk83t_host {

struct LoopOptions {
    int cycles = 0;  // 0: until stopped
    std::chrono::milliseconds interval{1000};
};

// before_cycle, when given, runs before each cycle with its number.
void poll_loop(HostSession& session, Terminal& terminal, const LoopOptions& options, const std::atomic<bool>& stop,
               const std::function<void(int cycle)>& before_cycle = {});

// One device's totals, for the end of a run.
void print_summary(HostSession& session, std::ostream& out);

}  // namespace xk83t_host
