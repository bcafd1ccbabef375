#include "fault_plan.h"

namespace xk83t_sim {

const char* action_name(FaultAction action)
{
    switch (action) {
    case FaultAction::Serve: return "served";
    case FaultAction::Drop: return "dropped";
    case FaultAction::Corrupt: return "corrupted";
    case FaultAction::Delay: return "late";
    case FaultAction::Stall: return "stalled";
    }
    return "?";
}

FaultAction FaultPlan::decide(long request, Clock::time_point now)
{
    if (settings_.stall_after > 0 && request > settings_.stall_after && !stall_over_) {
        if (!stalling_) {
            stalling_ = true;
            stall_start_ = now;
        }
        if (settings_.stall_ms <= 0 || now - stall_start_ < std::chrono::milliseconds(settings_.stall_ms))
            return FaultAction::Stall;
        stall_over_ = true;
    }
    if (every(request, settings_.drop_every))
        return FaultAction::Drop;
    if (every(request, settings_.corrupt_every))
        return FaultAction::Corrupt;
    if (settings_.delay_ms > 0 && every(request, settings_.delay_every))
        return FaultAction::Delay;
    return FaultAction::Serve;
}

}  // namespace xk83t_sim
