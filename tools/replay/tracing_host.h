#pragma once

// The host side of a replay: every call the plug-in makes into the host
// becomes a trace event, in order with its console lines. The host answers
// as a quiet host would (publish and save accepted, batch check as the
// scenario says, own control handler refusing) and remembers the one
// exchange the device has outstanding.

#include "trace.h"

#include <host/host_services.h>

#include <optional>

namespace xk83t_replay {

struct Exchange {
    enum Kind { Read, Write } kind;
    int start = 0;  // read: first register; write: address
    int count = 0;  // read: registers
};

class TracingHost : public HostServices {
public:
    explicit TracingHost(TraceWriter& trace);
    ~TracingHost() override;
    TracingHost(const TracingHost&) = delete;
    TracingHost& operator=(const TracingHost&) = delete;

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

    // The exchange whose reply or failure the master would deliver next; a
    // new request replaces it, as only one is ever outstanding.
    std::optional<Exchange> outstanding;
    // What DoBatchCheckThreshold answers.
    bool batch_result = false;

private:
    TraceWriter& trace_;
    HostServices* previous_;
};

}  // namespace xk83t_replay
