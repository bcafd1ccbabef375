// Bodies of the host SDK, as the loading process supplies them to the
// plug-in. Every call into the host goes to host_services().

#include "host_services.h"
#include "provider.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {

HostServices& builtin_services()
{
    static HostServices none;
    return none;
}

std::atomic<HostServices*> installed{nullptr};

}  // namespace

HostServices* set_host_services(HostServices* services)
{
    return installed.exchange(services);
}

HostServices& host_services()
{
    HostServices* s = installed.load();
    return s ? *s : builtin_services();
}

int deliver_reply(SPModbus& device, const unsigned short* words, unsigned int count)
{
    count = std::min(count, SPModbus::kReplyWords);
    if (words != nullptr && count > 0)
        std::memcpy(device.reply_, words, count * sizeof(unsigned short));
    return device.process_payload(SPModbus::TAB_HOLDING_REGISTERS, count);
}

int deliver_error(SPModbus& device)
{
    return device.on_error();
}

TTime get_ttime(boost::posix_time::ptime t)
{
    TTime stamp{};
    if (t.is_special())
        return stamp;
    const auto date = t.date();
    const auto time = t.time_of_day();
    stamp.year = static_cast<std::uint16_t>(date.year());
    stamp.month = static_cast<std::uint8_t>(date.month().as_number());
    stamp.day = static_cast<std::uint8_t>(date.day());
    stamp.hour = static_cast<std::uint8_t>(time.hours());
    stamp.minute = static_cast<std::uint8_t>(time.minutes());
    stamp.second = static_cast<std::uint8_t>(time.seconds());
    return stamp;
}

Provider::~Provider() = default;
SMDSPDeviceProvider::~SMDSPDeviceProvider() = default;

VDeviceInterface::VDeviceInterface() = default;
VDeviceInterface::~VDeviceInterface() = default;

SMDVDevice::SMDVDevice() = default;
SMDVDevice::~SMDVDevice() = default;

int SMDVDevice::DeviceIoControl(int code, const void* in, int in_len, void* out, int out_cap,
                                int& out_len)
{
    return host_services().device_io_control(*this, code, in, in_len, out, out_cap, out_len);
}

void SMDVDevice::RoundDone() {}
void SMDVDevice::Reset()
{
    host_services().reset(*this);
}
int SMDVDevice::InitV(SMDVDevice*, unsigned int, const Json::Value&)
{
    return 1;
}
int SMDVDevice::Init(std::weak_ptr<SMDController>, unsigned int, const Json::Value&)
{
    return 1;
}
int SMDVDevice::InitSetting(const Json::Value&)
{
    return 1;
}
bool SMDVDevice::IsSupportDevice(const std::string& model) const
{
    return model == model_;
}
int SMDVDevice::SendSP(int type, const unsigned char* data, unsigned int length, bool now)
{
    host_services().send_sp(*this, type, data, length, now);
    return 1;
}
int SMDVDevice::SendDelayData(int)
{
    return 0;
}
int SMDVDevice::SendDoData(int, char)
{
    return 0;
}
int SMDVDevice::ReadDi(int)
{
    return 0;
}
double SMDVDevice::ReadAi(int)
{
    return 0;
}
double SMDVDevice::Get_SP_Value(unsigned int, const std::string&)
{
    return 0;
}
int SMDVDevice::SaveDeviceHistory(const unsigned char* data, unsigned int length)
{
    host_services().save_history(*this, data, length);
    return 1;
}
bool SMDVDevice::DoBatchCheckThreshold(const std::vector<rule_value>& values)
{
    return host_services().batch_check(*this, values);
}
int SMDVDevice::CheckThreshold(const std::string& id, const std::string& name, const float& value,
                               int flag)
{
    host_services().check_threshold(*this, id, name, value, flag);
    return 1;
}
int SMDVDevice::CheckThresholdBool(int level, const std::string& s1, const std::string& s2,
                                   const std::string& s3, const std::string& s4, bool state,
                                   unsigned short seq)
{
    host_services().check_threshold_bool(*this, level, s1, s2, s3, s4, state, seq);
    return 1;
}
int SMDVDevice::CheckAOReport(const std::string& id, float value)
{
    host_services().check_ao_report(*this, id, value);
    return 1;
}

SMDSPDevice::SMDSPDevice() = default;
SMDSPDevice::~SMDSPDevice() = default;

void SMDSPDevice::Reset()
{
    host_services().reset(*this);
}
int SMDSPDevice::Init(std::weak_ptr<SMDController>, unsigned int, const Json::Value&)
{
    return 1;
}
int SMDSPDevice::RefreshStatus()
{
    host_services().refresh_status(*this);
    return 1;
}
int SMDSPDevice::process(unsigned char*, unsigned int)
{
    return 0;
}
bool SMDSPDevice::IsProcessing()
{
    return false;
}
bool SMDSPDevice::IsStalled()
{
    return false;
}
int SMDSPDevice::SendData(const unsigned char*, unsigned int)
{
    return 0;
}
int SMDSPDevice::SendParityData(const unsigned char*, unsigned int, EnumParity)
{
    return 0;
}
int SMDSPDevice::OpenPort()
{
    host_services().open_port(*this);
    return 1;
}
int SMDSPDevice::ClosePort()
{
    return 1;
}

SPModbus::SPModbus() = default;
SPModbus::~SPModbus() = default;

int SPModbus::InitSetting(const Json::Value& settings)
{
    return host_services().modbus_init_setting(*this, settings);
}
int SPModbus::process(unsigned char*, unsigned int)
{
    return 0;
}
int SPModbus::modbus_read_registers(int start, int count)
{
    host_services().read_registers(*this, start, count);
    return 1;
}
int SPModbus::modbus_write_register(int address, int value)
{
    host_services().write_register(*this, address, value);
    return 1;
}
int SPModbus::modbus_write_registers(int address, int count, const unsigned short* values)
{
    std::vector<unsigned short> words;
    if (values && count > 0)
        words.assign(values, values + count);
    host_services().write_registers(*this, address, words);
    return 1;
}
