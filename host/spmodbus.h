#pragma once

#include "vdevice.h"

#include <cstdint>
#include <iostream>

// The host's Modbus master: the device's serial exchange. Replies come back
// through process_payload (good reply, words in reply_) or on_error.
class HOST_API SPModbus : public SMDSPDevice {
public:
    enum tab_type { TAB_HOLDING_REGISTERS = 0, TAB_INPUT_REGISTERS = 1 };

    // Large enough for the longest reply a Modbus read can carry.
    static constexpr unsigned kReplyWords = 128;

    SPModbus();
    ~SPModbus() override;

    int InitSetting(const Json::Value& settings) override;
    int process(unsigned char* bytes, unsigned int length) override;

    virtual int process_payload(tab_type table, unsigned int length) = 0;
    virtual int on_error()
    {
        std::cout << "SPModbus get error" << std::endl;
        return 0;
    }

    int modbus_read_registers(int start, int count);
    int modbus_write_register(int address, int value);
    int modbus_write_registers(int address, int count, const unsigned short* values);

    int state_ = 0;
    std::uint16_t reply_[kReplyWords] = {};
    unsigned char master_option_ = 0;
};
