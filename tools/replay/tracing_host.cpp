#include "tracing_host.h"

#include "hex.h"

namespace xk83t_replay {
namespace {

Json::Value number(long long n)
{
    return Json::Value(static_cast<Json::Int64>(n));
}

// Floats are widened exactly, so the trace's digits read back as the float
// the plug-in passed.
Json::Value real(float f)
{
    return Json::Value(static_cast<double>(f));
}

Json::Value args(std::initializer_list<Json::Value> values)
{
    Json::Value list(Json::arrayValue);
    for (const auto& v : values)
        list.append(v);
    return list;
}

}  // namespace

TracingHost::TracingHost(TraceWriter& trace) : trace_(trace), previous_(set_host_services(this)) {}

TracingHost::~TracingHost()
{
    set_host_services(previous_);
}

void TracingHost::send_sp(SMDVDevice&, int type, const unsigned char* data, unsigned int length, bool)
{
    trace_.event("send_sp", {{"type", number(type)}, {"length", number(length)}, {"hex", to_hex(data, length)}});
}

void TracingHost::save_history(SMDVDevice&, const unsigned char* data, unsigned int length)
{
    trace_.event("save_history", {{"length", number(length)}, {"hex", to_hex(data, length)}});
}

void TracingHost::reset(SMDVDevice&)
{
    trace_.event("reset");
}

void TracingHost::open_port(SMDSPDevice&)
{
    trace_.event("open_port");
}

void TracingHost::read_registers(SPModbus&, int start, int count)
{
    trace_.event("read", {{"start", number(start)}, {"count", number(count)}});
    outstanding = Exchange{Exchange::Read, start, count};
}

void TracingHost::write_register(SPModbus&, int address, int value)
{
    trace_.event("write", {{"address", number(address)}, {"value", number(value)}});
    outstanding = Exchange{Exchange::Write, address, 1};
}

void TracingHost::write_registers(SPModbus&, int address, const std::vector<unsigned short>& values)
{
    Json::Value words(Json::arrayValue);
    for (unsigned short w : values)
        words.append(number(w));
    trace_.event("write_multi", {{"address", number(address)}, {"values", words}});
    outstanding = Exchange{Exchange::Write, address, static_cast<int>(values.size())};
}

int TracingHost::modbus_init_setting(SPModbus&, const Json::Value&)
{
    trace_.event("modbus_init_setting");
    return 1;
}

void TracingHost::check_threshold(SMDVDevice&, const std::string& id, const std::string& name, float value,
                                  int flag)
{
    trace_.event("check_threshold", {{"args", args({id, name, real(value), number(flag)})}});
}

void TracingHost::check_threshold_bool(SMDVDevice&, int level, const std::string& s1, const std::string& s2,
                                       const std::string& s3, const std::string& s4, bool state,
                                       unsigned short seq)
{
    trace_.event("check_threshold_bool",
                 {{"args", args({number(level), s1, s2, s3, s4, state, number(seq)})}});
}

void TracingHost::check_ao_report(SMDVDevice&, const std::string& id, float value)
{
    trace_.event("check_ao_report", {{"args", args({id, real(value)})}});
}

bool TracingHost::batch_check(SMDVDevice&, const std::vector<SMDVDevice::rule_value>& values)
{
    trace_.event("batch_check", {{"count", number(static_cast<long long>(values.size()))}});
    return batch_result;
}

int TracingHost::device_io_control(SMDVDevice&, int code, const void*, int in_len, void*, int out_cap, int&)
{
    trace_.event("host_io_control", {{"code", number(code)}, {"in_len", number(in_len)}, {"out_cap", number(out_cap)}});
    return -1;
}

}  // namespace xk83t_replay
