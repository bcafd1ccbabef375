#pragma once

#include "rule_checks.h"

#include <optional>
#include <string>

namespace xk83t_replay {

// The member names of the display document as the plug-in builds it: a
// fresh device restores an all-zero record from the cache (which completes a
// cycle) and is asked for its document as text, as the host would ask.
// Nothing, with the reason in `why`, when the plug-in gives no document.
// The caller captures the console and installs host services.
std::optional<Vocabulary> display_vocabulary(std::string& why);

}  // namespace xk83t_replay
