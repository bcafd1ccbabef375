#include "modbus_link.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace xk83t_host {

namespace {

enum class Failure { Timeout, BadFrame, Exception, LostLine };

Failure classify(int error)
{
    if (error == ETIMEDOUT)
        return Failure::Timeout;
    if (error > MODBUS_ENOBASE && error < EMBXGTAR + 1)
        return Failure::Exception;
    if (error == EMBBADCRC || error == EMBBADDATA || error == EMBBADEXC || error == EMBUNKEXC || error == EMBMDATA ||
        error == EMBBADSLAVE)
        return Failure::BadFrame;
    return Failure::LostLine;
}

void set_timeout(modbus_t* ctx, std::chrono::milliseconds timeout, int (*setter)(modbus_t*, uint32_t, uint32_t))
{
    const auto ms = std::max<long long>(1, timeout.count());
    setter(ctx, static_cast<uint32_t>(ms / 1000), static_cast<uint32_t>((ms % 1000) * 1000));
}

}  // namespace

std::string LinkSettings::endpoint() const
{
    return kind == Kind::Rtu ? "rtu:" + device : "tcp:" + host + ":" + std::to_string(port);
}

std::chrono::milliseconds LinkSettings::effective_guard_gap() const
{
    if (guard_gap.count() >= 0)
        return guard_gap;
    return std::chrono::milliseconds(kind == Kind::Rtu ? 20 : 0);
}

bool LinkSettings::same_line(const LinkSettings& other) const
{
    if (endpoint() != other.endpoint())
        return false;
    return kind == Kind::Tcp || (baud == other.baud && parity == other.parity && stop_bits == other.stop_bits);
}

ModbusLink::ModbusLink(LinkSettings settings) : settings_(std::move(settings)), backoff_(settings_.backoff) {}

ModbusLink::~ModbusLink()
{
    disconnect();
}

std::chrono::milliseconds ModbusLink::quiet() const
{
    return settings_.quiet.count() >= 0 ? settings_.quiet : settings_.response_timeout;
}

bool ModbusLink::ensure_connected(std::string& error)
{
    if (ctx_)
        return true;
    const Clock::time_point now = Clock::now();
    if (now < next_attempt_) {
        error = "line closed, next attempt to reopen in " +
                std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(next_attempt_ - now).count()) +
                " ms";
        return false;
    }
    modbus_t* ctx = settings_.kind == LinkSettings::Kind::Rtu
                        ? modbus_new_rtu(settings_.device.c_str(), settings_.baud, settings_.parity, 8,
                                         settings_.stop_bits)
                        : modbus_new_tcp(settings_.host.c_str(), settings_.port);
    if (ctx)
        set_timeout(ctx, settings_.response_timeout, modbus_set_response_timeout);
    if (!ctx || modbus_connect(ctx) != 0) {
        error = "cannot open " + settings_.endpoint() + ": " + modbus_strerror(errno);
        if (ctx)
            modbus_free(ctx);
        next_attempt_ = now + backoff_;
        backoff_ = std::min(backoff_ * 2, settings_.backoff_max);
        return false;
    }
    ctx_ = ctx;
    backoff_ = settings_.backoff;
    // Whatever was on the line before we opened it belongs to no request
    // of ours.
    settle(std::chrono::milliseconds(0));
    last_exchange_end_ = Clock::now();
    return ctx_ != nullptr;
}

void ModbusLink::disconnect()
{
    if (!ctx_)
        return;
    modbus_close(ctx_);
    modbus_free(ctx_);
    ctx_ = nullptr;
}

void ModbusLink::wait_guard_gap()
{
    std::this_thread::sleep_until(last_exchange_end_ + settings_.effective_guard_gap());
}

void ModbusLink::settle(std::chrono::milliseconds quiet_for)
{
    const int fd = ctx_ ? modbus_get_socket(ctx_) : -1;
    if (fd < 0)
        return;
    // A line that never goes quiet (a babbling device) still ends the wait.
    const Clock::time_point give_up = Clock::now() + 10 * std::max(quiet_for, std::chrono::milliseconds(100));
    unsigned char scrap[512];
    while (Clock::now() < give_up) {
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(quiet_for.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        const ssize_t n = read(fd, scrap, sizeof scrap);
        if (n > 0) {
            discarded_ += n;
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        disconnect();  // end of file or a hang-up: the other side is gone
        return;
    }
    modbus_flush(ctx_);
}

Exchange ModbusLink::fail(const std::string& what)
{
    const int error = errno;
    Exchange result;
    result.error = what + ": " + modbus_strerror(error);
    switch (classify(error)) {
    case Failure::Exception:
        break;  // a proper answer: the line is in step
    case Failure::Timeout:
    case Failure::BadFrame:
        settle(quiet());
        break;
    case Failure::LostLine:
        disconnect();
        next_attempt_ = Clock::now();  // reopen at the next exchange
        break;
    }
    last_exchange_end_ = Clock::now();
    return result;
}

Exchange ModbusLink::read_registers(int unit, int start, int count)
{
    Exchange result;
    if (!ensure_connected(result.error))
        return result;
    wait_guard_gap();
    modbus_set_slave(ctx_, unit);
    result.words.resize(static_cast<std::size_t>(std::max(count, 0)));
    const int got = modbus_read_registers(ctx_, start, count, result.words.data());
    if (got != count)
        return fail("read " + std::to_string(start) + "+" + std::to_string(count));
    last_exchange_end_ = Clock::now();
    result.ok = true;
    return result;
}

Exchange ModbusLink::raw_write(int unit, const std::vector<std::uint8_t>& pdu)
{
    Exchange result;
    if (!ensure_connected(result.error))
        return result;
    wait_guard_gap();
    modbus_set_slave(ctx_, unit);
    std::vector<std::uint8_t> raw;
    raw.push_back(static_cast<std::uint8_t>(unit));
    raw.insert(raw.end(), pdu.begin(), pdu.end());
    const std::string what = "write " + std::to_string((pdu[1] << 8) | pdu[2]);
    if (modbus_send_raw_request(ctx_, raw.data(), static_cast<int>(raw.size())) < 0)
        return fail(what);
    std::uint8_t reply[MODBUS_MAX_ADU_LENGTH];
    const int length = modbus_receive_confirmation(ctx_, reply);
    if (length < 0)
        return fail(what);
    last_exchange_end_ = Clock::now();
    const int at = modbus_get_header_length(ctx_);
    const int function = length > at + 1 ? reply[at] : 0;
    if (function & 0x80) {
        result.error = what + ": exception " + std::to_string(reply[at + 1]);
        return result;
    }
    if (length < at + 5) {
        result.error = what + ": short reply";
        return result;
    }
    const std::uint16_t fourth = static_cast<std::uint16_t>((reply[at + 3] << 8) | reply[at + 4]);
    if (function == MODBUS_FC_WRITE_SINGLE_REGISTER)
        result.words = {fourth};
    else
        result.words = {static_cast<std::uint16_t>(function), fourth};
    result.ok = true;
    return result;
}

Exchange ModbusLink::write_register(int unit, int address, std::uint16_t value)
{
    return raw_write(unit, {MODBUS_FC_WRITE_SINGLE_REGISTER, static_cast<std::uint8_t>(address >> 8),
                            static_cast<std::uint8_t>(address & 0xFF), static_cast<std::uint8_t>(value >> 8),
                            static_cast<std::uint8_t>(value & 0xFF)});
}

Exchange ModbusLink::write_registers(int unit, int address, const std::vector<std::uint16_t>& values)
{
    const auto count = static_cast<int>(values.size());
    std::vector<std::uint8_t> pdu{MODBUS_FC_WRITE_MULTIPLE_REGISTERS, static_cast<std::uint8_t>(address >> 8),
                                  static_cast<std::uint8_t>(address & 0xFF), static_cast<std::uint8_t>(count >> 8),
                                  static_cast<std::uint8_t>(count & 0xFF), static_cast<std::uint8_t>(2 * count)};
    for (std::uint16_t v : values) {
        pdu.push_back(static_cast<std::uint8_t>(v >> 8));
        pdu.push_back(static_cast<std::uint8_t>(v & 0xFF));
    }
    return raw_write(unit, pdu);
}

}  // namespace xk83t_host
