#include "threshold_settings.h"

#include "number_text.h"

#include <iostream>

namespace xk83t {
namespace {

struct LimitKeys {
    const char* value;
    const char* recover_value;
    const char* level;
    const char* id_suffix;
};

// In the order of ThresholdMaps.
const LimitKeys kLimits[4] = {
    {"UpValue", "UpReconverValue", "UpAlarmLevel", "001"},
    {"Up2Value", "Up2ReconverValue", "Up2AlarmLevel", "002"},
    {"LowValue", "LowReconverValue", "LowAlarmLevel", "003"},
    {"Low2Value", "Low2ReconverValue", "Low2AlarmLevel", "004"},
};

bool has_text(const Json::Value& member, const char* key)
{
    const Json::Value& v = member[key];
    return !v.isNull() && !v.asString().empty();
}

}  // namespace

void read_mobile_alarms(const Json::Value& settings, unsigned int data_id, HostThresholdTables host,
                        TextMap& alarm_info, TextMap& signal_names)
{
    std::cout << "here 1" << std::endl;
    const Json::Value& alarms = settings["thresholdSetting"];
    if (alarms.isNull())
        return;
    std::cout << "here 2" << std::endl;
    for (auto it = alarms.begin(); it != alarms.end(); ++it) {
        const std::string key = it.key().asString();
        std::cout << "here " << key << std::endl;
        const Json::Value& member = alarms[key];
        if (!member.isObject())
            continue;
        if (!member["SignalName"].isNull())
            signal_names[key] = member["SignalName"].asString();

        std::string description;
        for (const char* part : {"NMAlarmID", "ID", "SignalNumber"}) {
            const Json::Value& v = member[part];
            if (!v.isNull())
                description += v.asString();
            else
                std::cout << data_id << " " << part << " is missing" << std::endl;
            description += ";";
        }
        std::cout << "mobile:" << key << ":" << description << " level:" << host.levels[key]
                  << " value:" << host.values[key] << std::endl;
        alarm_info[key] = description;
    }
}

void read_threshold_limits(const Json::Value& settings, const ThresholdMaps& maps)
{
    for (ThresholdMap* map : maps)
        map->clear();
    const Json::Value& members = settings["thresholdSetting"];
    if (members.isNull() || !members.isObject())
        return;
    for (const Json::Value& member : members) {
        if (!member.isObject() || !has_text(member, "ID") || !has_text(member, "SignalName"))
            continue;
        const std::string id = member["ID"].asString();
        const std::string name = member["SignalName"].asString();
        for (std::size_t i = 0; i < maps.size(); ++i) {
            const LimitKeys& keys = kLimits[i];
            if (!has_text(member, keys.value) || !has_text(member, keys.recover_value) ||
                !has_text(member, keys.level))
                continue;
            (*maps[i])[name] = ThresholdRule(id + keys.id_suffix, float_from_text(member[keys.value].asString()),
                                             float_from_text(member[keys.recover_value].asString()), false,
                                             int_from_text(member[keys.level].asString()));
        }
    }
}

}  // namespace xk83t
