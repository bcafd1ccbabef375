#include "arguments.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <stdexcept>

namespace xk83t_tools {

long parse_number(const std::string& text, long low, long high, const std::string& what)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        throw std::invalid_argument(what + " must be a number, not \"" + text + "\"");
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 0);
    if (errno != 0 || end == text.c_str() || *end != '\0')
        throw std::invalid_argument(what + " must be a number, not \"" + text + "\"");
    if (value < low || value > high)
        throw std::invalid_argument(what + " must be from " + std::to_string(low) + " to " + std::to_string(high) +
                                    ", not " + text);
    return value;
}

HostPort parse_host_port(const std::string& text)
{
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0)
        throw std::invalid_argument("expected HOST:PORT, not \"" + text + "\"");
    return {text.substr(0, colon), static_cast<int>(parse_number(text.substr(colon + 1), 0, 65535, "port"))};
}

std::pair<int, std::uint16_t> parse_register_assignment(const std::string& text)
{
    const auto equals = text.find('=');
    if (equals == std::string::npos)
        throw std::invalid_argument("expected REG=VALUE, not \"" + text + "\"");
    const int reg = static_cast<int>(parse_number(text.substr(0, equals), 0, 65535, "register"));
    const auto value = static_cast<std::uint16_t>(parse_number(text.substr(equals + 1), 0, 65535, "register value"));
    return {reg, value};
}

char parse_parity(const std::string& text)
{
    if (text.size() == 1) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        if (c == 'N' || c == 'E' || c == 'O')
            return c;
    }
    throw std::invalid_argument("parity must be N, E or O, not \"" + text + "\"");
}

}  // namespace xk83t_tools
