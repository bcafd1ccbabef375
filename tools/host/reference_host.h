#pragma once

// The host's side of every call a device makes: Modbus requests are queued
// for the poller to carry out on the line, published records are kept,
// saved records go to the history, threshold calls go to the alarm table.

#include "alarm_table.h"
#include "history_store.h"

#include <host/host_services.h>

#include <cstdint>
#include <ctime>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace xk83t_host {

struct PendingExchange {
    enum class Kind { Read, WriteOne, WriteMany };
    Kind kind = Kind::Read;
    int address = 0;
    int count = 0;
    std::vector<std::uint16_t> values;  // what a write sends
};

class ReferenceHost : public HostServices {
public:
    // history may be null: records are then kept, not saved.
    ReferenceHost(AlarmTable& alarms, HistoryStore* history);

    void send_sp(SMDVDevice&, int type, const unsigned char* data, unsigned int length, bool now) override;
    void save_history(SMDVDevice&, const unsigned char* data, unsigned int length) override;
    void read_registers(SPModbus&, int start, int count) override;
    void write_register(SPModbus&, int address, int value) override;
    void write_registers(SPModbus&, int address, const std::vector<unsigned short>& values) override;
    int modbus_init_setting(SPModbus&, const Json::Value& settings) override;
    void check_threshold(SMDVDevice&, const std::string& id, const std::string& name, float value, int flag) override;
    void check_threshold_bool(SMDVDevice&, int level, const std::string& s1, const std::string& s2,
                              const std::string& s3, const std::string& s4, bool state,
                              unsigned short seq) override;
    void check_ao_report(SMDVDevice&, const std::string& id, float value) override;
    bool batch_check(SMDVDevice&, const std::vector<SMDVDevice::rule_value>& values) override;

    // The next Modbus exchange the device asked for, oldest first.
    std::optional<PendingExchange> next_exchange(const SMDVDevice& device);
    void drop_exchanges(const SMDVDevice& device);

    struct Published {
        int type = 0;
        std::vector<unsigned char> record;
        unsigned long count = 0;  // records published so far
    };
    Published latest(const SMDVDevice& device) const;
    unsigned long saved(const SMDVDevice& device) const;

    // While set, records the device saves are not appended to the history:
    // a record restored from the history is not a new measurement.
    void set_restoring(const SMDVDevice& device, bool restoring);

    // Failures of the host's own services (a history that cannot be
    // written), for the caller to show.
    std::vector<std::string> take_problems();

    // The time history rows are stamped with; replaceable for tests.
    std::time_t (*clock)(std::time_t*) = &std::time;

private:
    struct DeviceState {
        std::deque<PendingExchange> pending;
        Published published;
        unsigned long saved = 0;
        bool restoring = false;
        Json::Value master_settings;
    };
    DeviceState& state(const SMDVDevice& device);

    AlarmTable& alarms_;
    HistoryStore* history_;
    mutable std::mutex mutex_;
    std::map<const SMDVDevice*, DeviceState> devices_;
    std::vector<std::string> problems_;
};

}  // namespace xk83t_host
