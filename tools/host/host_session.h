#pragma once

// A running host: the plug-in loaded, its services installed, one device
// per configured device, one line per endpoint (devices on one serial bus
// share it), the history open. Reusable by every command that drives
// devices.

#include "alarm_table.h"
#include "cycle_runner.h"
#include "history_store.h"
#include "host_config.h"
#include "modbus_link.h"
#include "plugin_library.h"
#include "reference_host.h"

#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace xk83t_host {

struct SessionOptions {
    std::string plugin;   // empty: the default place
    std::string history;  // empty: no history
    std::vector<DeviceConfig> devices;
};

struct HostedDevice {
    DeviceConfig config;
    DevicePtr device;
    SPModbus* modbus = nullptr;  // the same device, as the master drives it
    ModbusLink* link = nullptr;
    std::vector<char> document_buffer;
    unsigned long cycles = 0;
    unsigned long completed = 0;
    unsigned long failed = 0;
    // Exchanges of the last complete cycle; the XK83T reads 41 blocks.
    int exchanges_per_cycle = 41;

    unsigned data_id() const { return config.data_id; }
};

class HostSession {
public:
    // Loads the plug-in and opens the history; throws std::runtime_error.
    // Notes about the session go to log.
    HostSession(const SessionOptions& options, std::ostream& log);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Creates the devices: host tables, data id, settings, then each device's
    // latest record restored from the history. A device whose settings the
    // plug-in rejects is still polled, with what it took of them.
    void start_devices();

    CycleOutcome poll(HostedDevice& device, const ProgressFn& progress = {});
    std::optional<std::string> document(HostedDevice& device);

    std::vector<std::unique_ptr<HostedDevice>>& devices() { return devices_; }
    ReferenceHost& services() { return services_; }
    AlarmTable& alarms() { return alarms_; }
    HistoryStore* history() { return history_.get(); }
    const std::string& plugin_path() const { return plugin_->path(); }

private:
    ModbusLink& line_for(const LinkSettings& settings);
    void restore(HostedDevice& device);

    SessionOptions options_;
    std::ostream& log_;
    AlarmTable alarms_;
    std::unique_ptr<HistoryStore> history_;
    ReferenceHost services_;
    HostServices* previous_services_ = nullptr;
    std::unique_ptr<PluginLibrary> plugin_;
    std::map<std::string, std::unique_ptr<ModbusLink>> links_;
    // Last, so that devices go before the library that holds their code.
    std::vector<std::unique_ptr<HostedDevice>> devices_;
};

}  // namespace xk83t_host
