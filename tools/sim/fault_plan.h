#pragma once

// Which requests the simulator mistreats, counted from the first request
// (number 1). One fault per request; a stall outranks everything else.

#include <chrono>

namespace xk83t_sim {

struct FaultSettings {
    int drop_every = 0;     // no reply to every Nth request
    int corrupt_every = 0;  // a damaged reply to every Nth request
    int delay_ms = 0;       // reply late by this much ...
    int delay_every = 1;    // ... to every Nth request
    int stall_after = 0;    // after N requests, answer nothing ...
    int stall_ms = 0;       // ... for this long (0: never again)
};

enum class FaultAction { Serve, Drop, Corrupt, Delay, Stall };

const char* action_name(FaultAction action);

class FaultPlan {
public:
    using Clock = std::chrono::steady_clock;

    explicit FaultPlan(FaultSettings settings = {}) : settings_(settings) {}

    FaultAction decide(long request, Clock::time_point now);
    std::chrono::milliseconds delay() const { return std::chrono::milliseconds(settings_.delay_ms); }

private:
    static bool every(long request, int n) { return n > 0 && request % n == 0; }

    FaultSettings settings_;
    bool stalling_ = false;
    bool stall_over_ = false;
    Clock::time_point stall_start_{};
};

}  // namespace xk83t_sim
