#pragma once

#include <string>

namespace xk83t_replay {

// The text with every byte that is not part of a well-formed UTF-8 sequence
// replaced by U+FFFD, so that a trace stays UTF-8 whatever the plug-in
// passes (a rule file saved in another encoding, say).
std::string valid_utf8(const std::string& text);

}  // namespace xk83t_replay
