#pragma once

// One Modbus line of the host: a serial port (RTU) or a TCP connection,
// driven with libmodbus, one exchange at a time.
//
// RTU carries no transaction id: a reply that arrives after its request
// timed out would be taken for the answer to the next request and shift
// every block after it. So after any timeout or damaged frame the link waits
// for the line to go quiet and discards what came, and it flushes after
// every (re)connect. A lost connection is reopened at the next exchange,
// with a growing back-off while it keeps failing.

#include <modbus/modbus.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace xk83t_host {

struct LinkSettings {
    enum class Kind { Rtu, Tcp };
    Kind kind = Kind::Rtu;
    std::string device;  // RTU: the serial port
    int baud = 9600;
    char parity = 'N';
    int stop_bits = 1;
    std::string host;  // TCP
    int port = 502;

    std::chrono::milliseconds response_timeout{1000};
    // Idle time between two requests; negative: 20 ms on a serial line,
    // none on TCP.
    std::chrono::milliseconds guard_gap{-1};
    // How long the line must stay silent before a failed exchange counts as
    // over; negative: as long as the response timeout.
    std::chrono::milliseconds quiet{-1};
    std::chrono::milliseconds backoff{1000};  // first wait after a failed reopen
    std::chrono::milliseconds backoff_max{30000};

    std::chrono::milliseconds effective_guard_gap() const;
    // What identifies the line: devices on one line share it.
    std::string endpoint() const;
    // Whether two settings may share one line (same endpoint, same framing).
    bool same_line(const LinkSettings& other) const;
};

struct Exchange {
    bool ok = false;
    // Read: the registers. Single write: the echoed value. Multiple write:
    // the reply's function code and the number of registers written.
    std::vector<std::uint16_t> words;
    std::string error;
};

class ModbusLink {
public:
    using Clock = std::chrono::steady_clock;

    explicit ModbusLink(LinkSettings settings);
    ~ModbusLink();
    ModbusLink(const ModbusLink&) = delete;
    ModbusLink& operator=(const ModbusLink&) = delete;

    Exchange read_registers(int unit, int start, int count);
    Exchange write_register(int unit, int address, std::uint16_t value);
    Exchange write_registers(int unit, int address, const std::vector<std::uint16_t>& values);

    bool connected() const { return ctx_ != nullptr; }
    const LinkSettings& settings() const { return settings_; }
    // Bytes thrown away while waiting for quiet, over the link's life.
    long discarded_bytes() const { return discarded_; }

private:
    bool ensure_connected(std::string& error);
    void disconnect();
    void wait_guard_gap();
    // Waits until nothing has arrived for quiet_for, throws away what came,
    // then flushes.
    void settle(std::chrono::milliseconds quiet_for);
    Exchange fail(const std::string& what);
    Exchange raw_write(int unit, const std::vector<std::uint8_t>& pdu);
    std::chrono::milliseconds quiet() const;

    LinkSettings settings_;
    modbus_t* ctx_ = nullptr;
    Clock::time_point last_exchange_end_{};
    Clock::time_point next_attempt_{};
    std::chrono::milliseconds backoff_;
    long discarded_ = 0;
};

}  // namespace xk83t_host
