#include "reference_host.h"

#include <stdexcept>

namespace xk83t_host {

ReferenceHost::ReferenceHost(AlarmTable& alarms, HistoryStore* history) : alarms_(alarms), history_(history) {}

ReferenceHost::DeviceState& ReferenceHost::state(const SMDVDevice& device)
{
    return devices_[&device];
}

void ReferenceHost::send_sp(SMDVDevice& device, int type, const unsigned char* data, unsigned int length, bool)
{
    std::lock_guard<std::mutex> lock(mutex_);
    Published& p = state(device).published;
    p.type = type;
    p.record.assign(data, data + length);
    ++p.count;
}

void ReferenceHost::save_history(SMDVDevice& device, const unsigned char* data, unsigned int length)
{
    std::lock_guard<std::mutex> lock(mutex_);
    DeviceState& s = state(device);
    if (s.restoring)
        return;
    ++s.saved;
    if (!history_)
        return;
    try {
        history_->append(device.DataId(), data, length, clock(nullptr));
    } catch (const std::exception& e) {
        problems_.push_back(e.what());
    }
}

void ReferenceHost::read_registers(SPModbus& device, int start, int count)
{
    std::lock_guard<std::mutex> lock(mutex_);
    state(device).pending.push_back({PendingExchange::Kind::Read, start, count, {}});
}

void ReferenceHost::write_register(SPModbus& device, int address, int value)
{
    std::lock_guard<std::mutex> lock(mutex_);
    state(device).pending.push_back(
        {PendingExchange::Kind::WriteOne, address, 1, {static_cast<std::uint16_t>(value)}});
}

void ReferenceHost::write_registers(SPModbus& device, int address, const std::vector<unsigned short>& values)
{
    std::lock_guard<std::mutex> lock(mutex_);
    state(device).pending.push_back({PendingExchange::Kind::WriteMany, address, static_cast<int>(values.size()),
                                     std::vector<std::uint16_t>(values.begin(), values.end())});
}

int ReferenceHost::modbus_init_setting(SPModbus& device, const Json::Value& settings)
{
    std::lock_guard<std::mutex> lock(mutex_);
    state(device).master_settings = settings;
    return 1;
}

void ReferenceHost::check_threshold(SMDVDevice& device, const std::string& id, const std::string& name, float value,
                                    int)
{
    std::lock_guard<std::mutex> lock(mutex_);
    alarms_.check_analog(device.DataId(), id, name, value);
}

void ReferenceHost::check_threshold_bool(SMDVDevice& device, int level, const std::string& s1, const std::string& s2,
                                         const std::string& s3, const std::string& s4, bool state, unsigned short)
{
    std::lock_guard<std::mutex> lock(mutex_);
    alarms_.check_bool(device.DataId(), level, s1, s2, s3, s4, state);
}

void ReferenceHost::check_ao_report(SMDVDevice& device, const std::string& id, float value)
{
    std::lock_guard<std::mutex> lock(mutex_);
    alarms_.report(device.DataId(), id, value);
}

bool ReferenceHost::batch_check(SMDVDevice& device, const std::vector<SMDVDevice::rule_value>& values)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const unsigned id = device.DataId();
    for (const SMDVDevice::rule_value& v : values)
        alarms_.check_bool(id, v.level, v.id, v.id, std::string(), std::string(), v.state);
    return alarms_.any_active(id);
}

std::optional<PendingExchange> ReferenceHost::next_exchange(const SMDVDevice& device)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto& pending = state(device).pending;
    if (pending.empty())
        return std::nullopt;
    PendingExchange next = std::move(pending.front());
    pending.pop_front();
    return next;
}

void ReferenceHost::drop_exchanges(const SMDVDevice& device)
{
    std::lock_guard<std::mutex> lock(mutex_);
    state(device).pending.clear();
}

ReferenceHost::Published ReferenceHost::latest(const SMDVDevice& device) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = devices_.find(&device);
    return it == devices_.end() ? Published{} : it->second.published;
}

unsigned long ReferenceHost::saved(const SMDVDevice& device) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = devices_.find(&device);
    return it == devices_.end() ? 0 : it->second.saved;
}

void ReferenceHost::set_restoring(const SMDVDevice& device, bool restoring)
{
    std::lock_guard<std::mutex> lock(mutex_);
    state(device).restoring = restoring;
}

std::vector<std::string> ReferenceHost::take_problems()
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> taken;
    taken.swap(problems_);
    return taken;
}

}  // namespace xk83t_host
