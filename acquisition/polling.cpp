// The register polling cycle and the check of control-write replies, driven
// by the exchange state word of the Modbus master.

#include "exchange_states.h"
#include "register_plan.h"

#include <device/xk83t.h>

namespace {

constexpr unsigned short kWriteMultipleFunction = 16;

}  // namespace

int XK83T::RefreshStatus()
{
    SMDSPDevice::RefreshStatus();
    state_ = xk83t::kFirstState;
    const xk83t::BlockRead& first = xk83t::kRegisterPlan[0];
    modbus_read_registers(first.start, first.count);
    return 1;
}

int XK83T::process_payload(SPModbus::tab_type, unsigned int)
{
    if (state_ == xk83t::kSingleWriteState)
        return check_single_write();
    if (state_ == xk83t::kMultipleWriteState)
        return check_multiple_write();
    if (state_ < xk83t::kFirstState || state_ > xk83t::kLastState)
        return 1;

    const std::size_t index = static_cast<std::size_t>(state_ - xk83t::kFirstState);
    const xk83t::BlockRead& block = xk83t::kRegisterPlan[index];
    store_block(xk83t::record_offset(block.start), reply_, 2 * static_cast<std::size_t>(block.count));

    if (state_ == xk83t::kLastState) {
        RoundDone();
        return 0;
    }
    ++state_;
    const xk83t::BlockRead& next = xk83t::kRegisterPlan[index + 1];
    modbus_read_registers(next.start, next.count);
    return 1;
}

int XK83T::check_single_write()
{
    write_result_ = (static_cast<int>(reply_[0]) == write_expect_) ? 1 : 3;
    Reset();
    return 0;
}

int XK83T::check_multiple_write()
{
    const bool echoed = reply_[0] == kWriteMultipleFunction && static_cast<int>(reply_[1]) == write_expect_;
    write_result_ = echoed ? 1 : 3;
    Reset();
    return 0;
}
