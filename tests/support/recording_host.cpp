#include "recording_host.h"

#include <iostream>

namespace xk83t_test {

bool RegisterImage::read(int start, int count, std::vector<unsigned short>& words)
{
    if (start == fail_at)
        return false;
    words.clear();
    for (int i = 0; i < count; ++i)
        words.push_back(get(start + i));
    return true;
}

RecordingHost::RecordingHost() : previous_(set_host_services(this)), buf_(*this)
{
    saved_cout_ = std::cout.rdbuf(&buf_);
}

RecordingHost::~RecordingHost()
{
    std::cout.flush();
    std::cout.rdbuf(saved_cout_);
    set_host_services(previous_);
}

int RecordingHost::LineBuf::overflow(int ch)
{
    if (ch == traits_type::eof())
        return traits_type::not_eof(ch);
    if (ch == '\n') {
        host_.calls.push_back(HostCall{"out", {}, {line_}, {}, 0});
        line_.clear();
    } else {
        line_.push_back(static_cast<char>(ch));
    }
    return ch;
}

int RecordingHost::LineBuf::sync()
{
    return 0;
}

void RecordingHost::send_sp(SMDVDevice&, int type, const unsigned char* data, unsigned int length, bool now)
{
    calls.push_back(HostCall{"send_sp", {type, length, now}, {}, {data, data + length}, 0});
}

void RecordingHost::save_history(SMDVDevice&, const unsigned char* data, unsigned int length)
{
    calls.push_back(HostCall{"save_history", {length}, {}, {data, data + length}, 0});
}

void RecordingHost::reset(SMDVDevice&)
{
    calls.push_back(HostCall{"reset", {}, {}, {}, 0});
}

void RecordingHost::open_port(SMDSPDevice&)
{
    calls.push_back(HostCall{"open_port", {}, {}, {}, 0});
}

void RecordingHost::read_registers(SPModbus&, int start, int count)
{
    calls.push_back(HostCall{"read", {start, count}, {}, {}, 0});
    pending_.push_back({start, count});
}

void RecordingHost::write_register(SPModbus&, int address, int value)
{
    calls.push_back(HostCall{"write", {address, value}, {}, {}, 0});
}

void RecordingHost::write_registers(SPModbus&, int address, const std::vector<unsigned short>& values)
{
    HostCall call{"write_multi", {address}, {}, {}, 0};
    for (unsigned short v : values)
        call.ints.push_back(v);
    calls.push_back(call);
}

int RecordingHost::modbus_init_setting(SPModbus&, const Json::Value&)
{
    calls.push_back(HostCall{"modbus_init_setting", {}, {}, {}, 0});
    return init_setting_result;
}

void RecordingHost::check_threshold(SMDVDevice&, const std::string& id, const std::string& name, float value,
                                    int flag)
{
    calls.push_back(HostCall{"check_threshold", {flag}, {id, name}, {}, value});
}

void RecordingHost::check_threshold_bool(SMDVDevice&, int level, const std::string& s1, const std::string& s2,
                                         const std::string& s3, const std::string& s4, bool state,
                                         unsigned short seq)
{
    calls.push_back(HostCall{"check_threshold_bool", {level, state, seq}, {s1, s2, s3, s4}, {}, 0});
}

void RecordingHost::check_ao_report(SMDVDevice&, const std::string& id, float value)
{
    calls.push_back(HostCall{"check_ao_report", {}, {id}, {}, value});
}

bool RecordingHost::batch_check(SMDVDevice&, const std::vector<SMDVDevice::rule_value>& values)
{
    calls.push_back(HostCall{"batch_check", {static_cast<long long>(values.size())}, {}, {}, 0});
    return batch_result;
}

int RecordingHost::device_io_control(SMDVDevice&, int code, const void*, int in_len, void* out, int out_cap,
                                     int& out_len)
{
    calls.push_back(HostCall{"host_io_control", {code, in_len, out_cap}, {}, {}, 0});
    if (io_control_handler)
        io_control_handler(code, out, out_cap, out_len);
    return io_control_result;
}

int RecordingHost::pump(SPModbus& device, Transport& transport)
{
    int delivered = 0;
    std::vector<unsigned short> words;
    while (!pending_.empty()) {
        const PendingRead request = pending_.front();
        pending_.pop_front();
        if (!transport.read(request.start, request.count, words)) {
            pending_.clear();
            deliver_error(device);
            break;
        }
        deliver_reply(device, words.data(), static_cast<unsigned>(words.size()));
        ++delivered;
    }
    return delivered;
}

int RecordingHost::poll(SPModbus& device, Transport& transport)
{
    device.RefreshStatus();
    return pump(device, transport);
}

std::vector<HostCall> RecordingHost::of(const std::string& what) const
{
    std::vector<HostCall> out;
    for (const auto& c : calls)
        if (c.what == what)
            out.push_back(c);
    return out;
}

std::vector<std::string> RecordingHost::whats() const
{
    std::vector<std::string> out;
    for (const auto& c : calls)
        out.push_back(c.what);
    return out;
}

std::vector<std::string> RecordingHost::console() const
{
    std::vector<std::string> out;
    for (const auto& c : calls)
        if (c.what == "out")
            out.push_back(c.texts[0]);
    return out;
}

}  // namespace xk83t_test
