#include "alarm_table.h"

#include <cstdio>

namespace xk83t_host {

std::string number_text(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*g", 9, static_cast<double>(value));
    return text;
}

std::string AlarmEvent::line() const
{
    static const char* const kinds[] = {"alarm raised ", "alarm cleared", "report       "};
    std::string line = std::string(kinds[static_cast<int>(kind)]) + "  device " + std::to_string(data_id) + "  id " + id;
    if (kind == Kind::Raised)
        line += "  level " + std::to_string(level);
    std::string last;
    for (const std::string& detail : details) {
        // Several call sites pass the same text twice; say it once.
        if (detail.empty() || detail == id || detail == last)
            continue;
        line += "  " + detail;
        last = detail;
    }
    return line;
}

void AlarmTable::set_analog_limits(unsigned data_id, std::map<std::string, AnalogLimit> limits)
{
    limits_[data_id] = std::move(limits);
}

void AlarmTable::set_state(unsigned data_id, const std::string& id, int level, std::vector<std::string> details,
                           bool state)
{
    const auto key = std::make_pair(data_id, id);
    const auto it = active_.find(key);
    if (state && it == active_.end()) {
        active_.emplace(key, ActiveAlarm{id, level, details});
        events_.push_back({AlarmEvent::Kind::Raised, data_id, id, level, std::move(details)});
    } else if (!state && it != active_.end()) {
        events_.push_back({AlarmEvent::Kind::Cleared, data_id, id, it->second.level, std::move(details)});
        active_.erase(it);
    } else if (state) {
        it->second.details = std::move(details);  // still raised: keep the latest words
    }
}

void AlarmTable::check_bool(unsigned data_id, int level, const std::string& signal, const std::string& id,
                            const std::string& value, const std::string& text, bool state)
{
    set_state(data_id, id, level, {signal, value, text}, state);
}

void AlarmTable::check_analog(unsigned data_id, const std::string& id, const std::string& name, float value)
{
    const auto device = limits_.find(data_id);
    if (device == limits_.end())
        return;
    const auto limit = device->second.find(id);
    if (limit == device->second.end())
        return;
    const AnalogLimit& l = limit->second;
    std::string text;
    if (l.high && value > *l.high)
        text = "above " + number_text(*l.high);
    else if (l.low && value < *l.low)
        text = "below " + number_text(*l.low);
    set_state(data_id, id, l.level, {name, number_text(value), text}, !text.empty());
}

void AlarmTable::report(unsigned data_id, const std::string& id, float value)
{
    events_.push_back({AlarmEvent::Kind::Report, data_id, id, 0, {number_text(value)}});
}

bool AlarmTable::any_active(unsigned data_id) const
{
    const auto it = active_.lower_bound({data_id, std::string()});
    return it != active_.end() && it->first.first == data_id;
}

std::vector<ActiveAlarm> AlarmTable::active(unsigned data_id) const
{
    std::vector<ActiveAlarm> list;
    for (auto it = active_.lower_bound({data_id, std::string()}); it != active_.end() && it->first.first == data_id;
         ++it)
        list.push_back(it->second);
    return list;
}

std::vector<AlarmEvent> AlarmTable::take_events()
{
    std::vector<AlarmEvent> taken;
    taken.swap(events_);
    return taken;
}

}  // namespace xk83t_host
