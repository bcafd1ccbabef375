#pragma once

// What the host is told about its devices: per device its data id, its
// line, its settings document, and the host's own tables for it. Read from
// a host configuration file, or made from the command line for one device.
//
// The file is JSON:
//   { "plugin": "path/xk83t.so", "history": "history.db",
//     "threshold_level_map": {...}, "threshold_value_map": {...},
//     "bao_settings": {...}, "analog_limits": {...},
//     "devices": [ { "data_id": 1, "rtu": "/dev/ttyUSB0", "baud": 9600,
//                    "parity": "N", "stop": 1, "slave": 1,
//                    "settings": "xk83t-1.json" }, ... ] }
// A device gives either "rtu" or "tcp" ("HOST:PORT", with "unit"); its
// "settings" is a file (relative to the configuration file) or an object.
// The four tables may also be given per device, replacing the shared ones.

#include "alarm_table.h"
#include "modbus_link.h"

#include <host/vdevice.h>

#include <json/value.h>

#include <map>
#include <string>
#include <vector>

namespace xk83t_host {

struct HostTables {
    std::map<std::string, int> threshold_levels;
    std::map<std::string, float> threshold_values;
    std::map<std::string, SMDVDevice::BAOSetting> bao_settings;
    std::map<std::string, AnalogLimit> analog_limits;
};

struct DeviceConfig {
    unsigned data_id = 1;
    LinkSettings link;
    int unit = 1;
    Json::Value settings{Json::objectValue};
    HostTables tables;
};

struct HostConfig {
    std::string plugin;
    std::string history;
    std::vector<DeviceConfig> devices;
};

// Throws std::runtime_error naming the file and what is wrong.
Json::Value read_json_file(const std::string& path);
// line gives the timing (timeouts, gaps, back-off) every device's line gets.
HostConfig load_host_config(const std::string& path, const LinkSettings& line);
HostTables parse_host_tables(const Json::Value& object, HostTables defaults = {});

}  // namespace xk83t_host
