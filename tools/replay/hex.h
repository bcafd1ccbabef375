#pragma once

#include <optional>
#include <string>
#include <vector>

namespace xk83t_replay {

// Lower-case hex, two digits per byte, no separators.
std::string to_hex(const unsigned char* bytes, std::size_t length);

// Hex digits in either case; blanks between bytes are allowed. Nothing when
// the text is not whole bytes of hex.
std::optional<std::vector<unsigned char>> from_hex(const std::string& text);

}  // namespace xk83t_replay
