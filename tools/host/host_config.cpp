#include "host_config.h"

#include <common/arguments.h>

#include <json/reader.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace xk83t_host {

namespace {

std::string folder_of(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

float number_of(const Json::Value& v, const std::string& what)
{
    if (!v.isNumeric())
        throw std::runtime_error(what + " must be a number");
    return v.asFloat();
}

SMDVDevice::BAOSetting bao_setting_of(const Json::Value& v, const std::string& id)
{
    if (!v.isObject())
        throw std::runtime_error("bao_settings \"" + id + "\" must be an object");
    SMDVDevice::BAOSetting s;
    s.change_report = v.get("change_report", false).asBool();
    s.change_step = v.get("change_step", 0).asFloat();
    s.percent_report = v.get("percent_report", false).asBool();
    s.percent_step = v.get("percent_step", 0).asFloat();
    s.period_report = v.get("period_report", false).asBool();
    s.period_minutes = v.get("period_minutes", 0).asFloat();
    return s;
}

AnalogLimit analog_limit_of(const Json::Value& v, const std::string& id)
{
    if (!v.isObject())
        throw std::runtime_error("analog_limits \"" + id + "\" must be an object");
    AnalogLimit limit;
    if (v.isMember("high"))
        limit.high = number_of(v["high"], "analog_limits \"" + id + "\" high");
    if (v.isMember("low"))
        limit.low = number_of(v["low"], "analog_limits \"" + id + "\" low");
    limit.level = v.get("level", 1).asInt();
    return limit;
}

template <typename T, typename Convert>
std::map<std::string, T> map_of(const Json::Value& object, const char* key, Convert convert)
{
    std::map<std::string, T> map;
    const Json::Value& v = object[key];
    if (v.isNull())
        return map;
    if (!v.isObject())
        throw std::runtime_error(std::string(key) + " must be an object");
    for (const std::string& name : v.getMemberNames())
        map[name] = convert(v[name], name);
    return map;
}

DeviceConfig device_of(const Json::Value& v, const std::string& folder, const LinkSettings& line,
                       const HostTables& shared)
{
    if (!v.isObject())
        throw std::runtime_error("each device must be an object");
    DeviceConfig device;
    device.data_id = v.get("data_id", 1).asUInt();
    device.link = line;
    if (v.isMember("rtu") == v.isMember("tcp"))
        throw std::runtime_error("device " + std::to_string(device.data_id) + ": give exactly one of rtu and tcp");
    if (v.isMember("rtu")) {
        device.link.kind = LinkSettings::Kind::Rtu;
        device.link.device = v["rtu"].asString();
        device.link.baud = v.get("baud", 9600).asInt();
        device.link.parity = xk83t_tools::parse_parity(v.get("parity", "N").asString());
        device.link.stop_bits = v.get("stop", 1).asInt();
        device.unit = v.get("slave", 1).asInt();
    } else {
        const auto where = xk83t_tools::parse_host_port(v["tcp"].asString());
        device.link.kind = LinkSettings::Kind::Tcp;
        device.link.host = where.host;
        device.link.port = where.port;
        device.unit = v.get("unit", 1).asInt();
    }
    const Json::Value& settings = v["settings"];
    if (settings.isString()) {
        const std::string path = settings.asString();
        device.settings = read_json_file(!path.empty() && path[0] == '/' ? path : folder + path);
    } else if (settings.isObject()) {
        device.settings = settings;
    } else if (!settings.isNull()) {
        throw std::runtime_error("device " + std::to_string(device.data_id) + ": settings must be a file or an object");
    }
    device.tables = parse_host_tables(v, shared);
    return device;
}

}  // namespace

Json::Value read_json_file(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    Json::CharReaderBuilder builder;
    Json::Value root;
    std::string errors;
    if (!Json::parseFromStream(builder, in, &root, &errors))
        throw std::runtime_error(path + " is not valid JSON: " + errors);
    return root;
}

HostTables parse_host_tables(const Json::Value& object, HostTables tables)
{
    if (object.isMember("threshold_level_map"))
        tables.threshold_levels = map_of<int>(object, "threshold_level_map", [](const Json::Value& v, const std::string& k) {
            if (!v.isIntegral())
                throw std::runtime_error("threshold_level_map \"" + k + "\" must be a whole number");
            return v.asInt();
        });
    if (object.isMember("threshold_value_map"))
        tables.threshold_values = map_of<float>(object, "threshold_value_map", [](const Json::Value& v, const std::string& k) {
            return number_of(v, "threshold_value_map \"" + k + "\"");
        });
    if (object.isMember("bao_settings"))
        tables.bao_settings = map_of<SMDVDevice::BAOSetting>(object, "bao_settings", bao_setting_of);
    if (object.isMember("analog_limits"))
        tables.analog_limits = map_of<AnalogLimit>(object, "analog_limits", analog_limit_of);
    return tables;
}

HostConfig load_host_config(const std::string& path, const LinkSettings& line)
{
    const Json::Value root = read_json_file(path);
    try {
        if (!root.isObject())
            throw std::runtime_error("the top level must be an object");
        HostConfig config;
        const std::string folder = folder_of(path);
        auto relative = [&](const std::string& p) { return p.empty() || p[0] == '/' ? p : folder + p; };
        config.plugin = relative(root.get("plugin", "").asString());
        config.history = relative(root.get("history", "").asString());
        const HostTables shared = parse_host_tables(root);
        const Json::Value& devices = root["devices"];
        if (!devices.isArray() || devices.empty())
            throw std::runtime_error("devices must be a list of at least one device");
        for (const Json::Value& d : devices)
            config.devices.push_back(device_of(d, folder, line, shared));
        return config;
    } catch (const std::exception& e) {
        throw std::runtime_error(path + ": " + e.what());
    }
}

}  // namespace xk83t_host
