#pragma once

// Parsers for the values the tools take on their command lines. Each throws
// std::invalid_argument with a message fit to show the user.

#include <cstdint>
#include <string>
#include <utility>

namespace xk83t_tools {

struct HostPort {
    std::string host;
    int port;
};

// "HOST:PORT", port 0..65535.
HostPort parse_host_port(const std::string& text);
// "REG=VALUE", both decimal or 0x-prefixed hex, VALUE 0..65535.
std::pair<int, std::uint16_t> parse_register_assignment(const std::string& text);
// "N", "E" or "O" (either case).
char parse_parity(const std::string& text);
// A whole number in [low, high]; what names the value in the message.
long parse_number(const std::string& text, long low, long high, const std::string& what);

}  // namespace xk83t_tools
