#pragma once

// The command-line options that describe a device's line and the master's
// timing, shared by the commands that talk to devices.

#include "host_config.h"
#include "modbus_link.h"

#include <boost/program_options.hpp>

#include <optional>
#include <string>

namespace xk83t_host {

struct LineOptionValues {
    std::string rtu;
    std::string tcp;
    int baud = 9600;
    std::string parity = "N";
    int stop = 1;
    int slave = 1;
    int unit = 1;
    int timeout_ms = 1000;
    int gap_ms = -1;  // -1: 20 ms on a serial line, none on TCP
    int quiet_ms = -1;
    int backoff_ms = 1000;
};

boost::program_options::options_description line_options(LineOptionValues& values);

// The master's timing from the options; throws std::invalid_argument.
LinkSettings line_timing(const LineOptionValues& values);

// The device that --rtu or --tcp names, if either was given.
std::optional<DeviceConfig> command_line_device(const LineOptionValues& values,
                                                const boost::program_options::variables_map& given);

}  // namespace xk83t_host
