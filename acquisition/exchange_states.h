#pragma once

// Exchange states that a control write sets and the reply handler judges:
// the next reply is the device's echo of that write.

namespace xk83t {

constexpr int kSingleWriteState = 206;
constexpr int kMultipleWriteState = 210;

}  // namespace xk83t
