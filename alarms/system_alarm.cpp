// The device's own alarm step: in mode 1 the system total alarm state is
// reported under the alarm id the rule file gives it.

#include <device/xk83t.h>

#include <string>

namespace {

// A string made once: the rule lookup and the host call take it as it is,
// instead of a temporary copy each cycle.
const std::string kSystemAlarm = "系统总告警状态";

}  // namespace

void XK83T::RunCheckThreshold()
{
    std::string alarm_id;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (b_mode_ != 1)
            return;
        const auto rule = alarm_rule_map_.find(kSystemAlarm);
        if (rule != alarm_rule_map_.end())
            alarm_id = rule->second;
    }
    if (alarm_id.empty())
        return;
    const bool state = data_.sys_alarm == 1;
    const unsigned short seq = check_seq_++;
    CheckThresholdBool(2, alarm_id, alarm_id, kSystemAlarm, kSystemAlarm, state, seq);
}
