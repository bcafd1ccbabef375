#include "float_text.h"
#include "rule_evaluation.h"

namespace xk83t {

void check_threshold_map(SMDVDevice& device, const Json::Value& document, ThresholdMap& rules, bool upper)
{
    for (auto& [data_name, rule] : rules) {
        const Json::Value* member = document.isObject() ? document.find(data_name.data(), data_name.data() + data_name.size()) : nullptr;
        if (member == nullptr || !member->isNumeric())
            continue;
        const float value = member->asFloat();
        const float threshold = std::get<kThreshold>(rule);
        bool& active = std::get<kActive>(rule);
        // One transition per cycle: an alarm raised now is not tested for
        // recovery until the next cycle.
        if (!active)
            active = upper ? value >= threshold : value <= threshold;
        else if (upper ? value <= std::get<kRecoverValue>(rule) : value >= std::get<kRecoverValue>(rule))
            active = false;

        const std::string value_text = float_text(value);
        std::string alarm_text;
        if (active)
            alarm_text = "当前值" + value_text + (upper ? "高于阈值:" : "低于阈值:") + float_text(threshold);
        device.CheckThresholdBool(std::get<kLevel>(rule), data_name, std::get<kAlarmId>(rule), value_text, alarm_text,
                                  active, 1);
    }
}

}  // namespace xk83t
