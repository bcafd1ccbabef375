#pragma once

// A host for tests: records every call the plug-in makes into the host, and
// every console line it writes, in one ordered log; answers Modbus reads from
// a transport when pumped.

#include <host/host_services.h>

#include <boost/date_time/posix_time/posix_time.hpp>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace xk83t_test {

struct HostCall {
    std::string what;                 // "send_sp", "reset", "out", "read", ...
    std::vector<long long> ints;      // numbers, in the order passed
    std::vector<std::string> texts;   // texts, in the order passed (console line for "out")
    std::vector<unsigned char> bytes; // record or written words
    double value = 0;                 // float argument, if any
};

// Answers a device's reads. Returning false fails the exchange (on_error).
class Transport {
public:
    virtual ~Transport() = default;
    virtual bool read(int start, int count, std::vector<unsigned short>& words) = 0;
};

// A register image: registers not set read as 0.
class RegisterImage : public Transport {
public:
    void set(int reg, unsigned short value) { regs_[reg] = value; }
    unsigned short get(int reg) const
    {
        auto it = regs_.find(reg);
        return it == regs_.end() ? 0 : it->second;
    }
    bool read(int start, int count, std::vector<unsigned short>& words) override;
    // Fails the read whose start register is fail_at (once per request).
    int fail_at = -1;

private:
    std::map<int, unsigned short> regs_;
};

class RecordingHost : public HostServices {
public:
    RecordingHost();
    ~RecordingHost() override;

    void send_sp(SMDVDevice&, int type, const unsigned char* data, unsigned int length, bool now) override;
    void save_history(SMDVDevice&, const unsigned char* data, unsigned int length) override;
    void reset(SMDVDevice&) override;
    void open_port(SMDSPDevice&) override;
    void read_registers(SPModbus&, int start, int count) override;
    void write_register(SPModbus&, int address, int value) override;
    void write_registers(SPModbus&, int address, const std::vector<unsigned short>& values) override;
    int modbus_init_setting(SPModbus&, const Json::Value&) override;
    void check_threshold(SMDVDevice&, const std::string& id, const std::string& name, float value,
                         int flag) override;
    void check_threshold_bool(SMDVDevice&, int level, const std::string& s1, const std::string& s2,
                              const std::string& s3, const std::string& s4, bool state,
                              unsigned short seq) override;
    void check_ao_report(SMDVDevice&, const std::string& id, float value) override;
    bool batch_check(SMDVDevice&, const std::vector<SMDVDevice::rule_value>& values) override;
    int device_io_control(SMDVDevice&, int code, const void* in, int in_len, void* out, int out_cap,
                          int& out_len) override;

    // Delivers replies from the transport until no read is outstanding or
    // one fails. Returns the number of replies delivered.
    int pump(SPModbus& device, Transport& transport);
    // One whole cycle: RefreshStatus, then pump.
    int poll(SPModbus& device, Transport& transport);

    bool read_outstanding() const { return !pending_.empty(); }

    std::vector<HostCall> calls;
    std::vector<HostCall> of(const std::string& what) const;
    std::vector<std::string> whats() const;
    std::vector<std::string> console() const;
    void clear() { calls.clear(); }

    bool batch_result = false;
    int io_control_result = -1;
    int init_setting_result = 1;
    // What the host's control handler does besides being recorded.
    std::function<void(int code, void* out, int out_cap, int& out_len)> io_control_handler;

private:
    class LineBuf : public std::streambuf {
    public:
        explicit LineBuf(RecordingHost& host) : host_(host) {}
        int overflow(int ch) override;
        int sync() override;

    private:
        RecordingHost& host_;
        std::string line_;
    };

    struct PendingRead {
        int start;
        int count;
    };

    HostServices* previous_;
    LineBuf buf_;
    std::streambuf* saved_cout_;
    std::deque<PendingRead> pending_;
};

}  // namespace xk83t_test
