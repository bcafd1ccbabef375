#include "line_options.h"

#include <common/arguments.h>

#include <stdexcept>

namespace po = boost::program_options;

namespace xk83t_host {

po::options_description line_options(LineOptionValues& v)
{
    po::options_description serial("Serial line (RTU)");
    serial.add_options()
        ("rtu", po::value(&v.rtu), "the serial port, e.g. /dev/ttyUSB0")
        ("baud", po::value(&v.baud)->default_value(v.baud), "line speed")
        ("parity", po::value(&v.parity)->default_value(v.parity), "N, E or O")
        ("stop", po::value(&v.stop)->default_value(v.stop), "stop bits: 1 or 2")
        ("slave", po::value(&v.slave)->default_value(v.slave), "the device's slave id");
    po::options_description tcp("Modbus TCP");
    tcp.add_options()
        ("tcp", po::value(&v.tcp), "HOST:PORT of the device or gateway")
        ("unit", po::value(&v.unit)->default_value(v.unit), "the device's unit id");
    po::options_description timing("Master timing");
    timing.add_options()
        ("timeout-ms", po::value(&v.timeout_ms)->default_value(v.timeout_ms), "how long to wait for a reply")
        ("gap-ms", po::value(&v.gap_ms), "idle time between two requests (default: 20 on RTU, 0 on TCP)")
        ("quiet-ms", po::value(&v.quiet_ms),
         "after a failed exchange, how long the line must stay silent before the next request "
         "(default: the reply timeout)")
        ("backoff-ms", po::value(&v.backoff_ms)->default_value(v.backoff_ms),
         "first wait before reopening a line that failed to open; doubles up to 30 s");
    po::options_description all;
    all.add(serial).add(tcp).add(timing);
    return all;
}

LinkSettings line_timing(const LineOptionValues& v)
{
    if (v.timeout_ms <= 0)
        throw std::invalid_argument("--timeout-ms must be positive");
    if (v.backoff_ms <= 0)
        throw std::invalid_argument("--backoff-ms must be positive");
    LinkSettings line;
    line.response_timeout = std::chrono::milliseconds(v.timeout_ms);
    line.guard_gap = std::chrono::milliseconds(v.gap_ms);
    line.quiet = std::chrono::milliseconds(v.quiet_ms);
    line.backoff = std::chrono::milliseconds(v.backoff_ms);
    line.backoff_max = std::max(line.backoff, std::chrono::milliseconds(30000));
    return line;
}

std::optional<DeviceConfig> command_line_device(const LineOptionValues& v, const po::variables_map& given)
{
    const bool rtu = given.count("rtu") > 0;
    const bool tcp = given.count("tcp") > 0;
    if (!rtu && !tcp)
        return std::nullopt;
    if (rtu && tcp)
        throw std::invalid_argument("give either --rtu or --tcp, not both");
    DeviceConfig device;
    device.link = line_timing(v);
    if (rtu) {
        device.link.kind = LinkSettings::Kind::Rtu;
        device.link.device = v.rtu;
        if (v.baud <= 0)
            throw std::invalid_argument("--baud must be positive");
        device.link.baud = v.baud;
        device.link.parity = xk83t_tools::parse_parity(v.parity);
        if (v.stop != 1 && v.stop != 2)
            throw std::invalid_argument("--stop must be 1 or 2");
        device.link.stop_bits = v.stop;
        device.unit = static_cast<int>(xk83t_tools::parse_number(std::to_string(v.slave), 1, 247, "--slave"));
    } else {
        const auto where = xk83t_tools::parse_host_port(v.tcp);
        device.link.kind = LinkSettings::Kind::Tcp;
        device.link.host = where.host;
        device.link.port = where.port;
        device.unit = static_cast<int>(xk83t_tools::parse_number(std::to_string(v.unit), 0, 255, "--unit"));
    }
    return device;
}

}  // namespace xk83t_host
