#pragma once

// What the host does when a device calls into it. The SDK bodies in
// host_sdk.cpp are thin: each forwards to the one HostServices installed in
// the process, so a test recorder and the reference host supply the same
// symbols with their own behaviour.

#include "spmodbus.h"

#include <json/value.h>

#include <string>
#include <vector>

class HostServices {
public:
    virtual ~HostServices() = default;

    virtual void send_sp(SMDVDevice&, int, const unsigned char*, unsigned int, bool) {}
    virtual void save_history(SMDVDevice&, const unsigned char*, unsigned int) {}
    virtual void reset(SMDVDevice&) {}
    virtual void refresh_status(SMDSPDevice&) {}
    virtual void open_port(SMDSPDevice&) {}
    virtual void read_registers(SPModbus&, int, int) {}
    virtual void write_register(SPModbus&, int, int) {}
    virtual void write_registers(SPModbus&, int, const std::vector<unsigned short>&) {}
    virtual int modbus_init_setting(SPModbus&, const Json::Value&) { return 1; }
    virtual void check_threshold(SMDVDevice&, const std::string&, const std::string&, float, int)
    {
    }
    virtual void check_threshold_bool(SMDVDevice&, int, const std::string&, const std::string&,
                                      const std::string&, const std::string&, bool, unsigned short)
    {
    }
    virtual void check_ao_report(SMDVDevice&, const std::string&, float) {}
    virtual bool batch_check(SMDVDevice&, const std::vector<SMDVDevice::rule_value>&)
    {
        return false;
    }
    // The host's own control handler, reached for codes the device passes on.
    virtual int device_io_control(SMDVDevice&, int, const void*, int, void*, int, int&)
    {
        return -1;
    }
};

// Installs the services every SDK body forwards to; nullptr restores the
// built-in ones, which do nothing. Returns the previous services.
HostServices* set_host_services(HostServices* services);
HostServices& host_services();

// The master's side of an exchange: deliver a good reply (words of register
// start + i, or a write echo) or a failure to the device.
int deliver_reply(SPModbus& device, const unsigned short* words, unsigned int count);
int deliver_error(SPModbus& device);
