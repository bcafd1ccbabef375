// Control writes go over the line like reads: the device's write request is
// queued, carried out by the master, and the device's reply handler gets the
// real echo (the value written, or function 16 and the register count),
// which it judges itself.

#include "e2e_support.h"

#include <host/alarm_table.h>
#include <host/cycle_runner.h>
#include <host/reference_host.h>

#include <gtest/gtest.h>

using namespace xk83t_e2e;
using namespace xk83t_host;
using namespace std::chrono_literals;

namespace {

// Writes as a device does from a control request, and keeps the replies.
class WritingDevice : public SPModbus {
public:
    int LoadFromCache(const unsigned char*, int) override { return 0; }
    int process_payload(tab_type, unsigned int length) override
    {
        replies.emplace_back(reply_, reply_ + length);
        return 0;
    }
    int on_error() override
    {
        ++errors;
        return 0;
    }
    std::vector<std::vector<std::uint16_t>> replies;
    int errors = 0;
};

LinkSettings tcp_line(const Simulator& sim)
{
    LinkSettings line;
    line.kind = LinkSettings::Kind::Tcp;
    line.host = "127.0.0.1";
    line.port = sim.port();
    line.response_timeout = 1000ms;
    return line;
}

TEST(ControlWrites, EchoesReachTheDeviceAndTheRegistersHoldTheValues)
{
    ScratchDir dir;
    Simulator sim(dir, "sim", {"--tcp", "127.0.0.1:0"});
    AlarmTable alarms;
    ReferenceHost host(alarms, nullptr);
    HostServices* previous = set_host_services(&host);
    ModbusLink link(tcp_line(sim));
    WritingDevice device;

    device.modbus_write_register(4197, 412);
    const unsigned short values[] = {7, 8, 9};
    device.modbus_write_registers(4101, 3, values);
    const CycleOutcome outcome = run_exchanges(device, 1, link, host);
    set_host_services(previous);

    EXPECT_EQ(outcome.exchanges, 2);
    EXPECT_EQ(outcome.failed_at, 0) << outcome.error;
    ASSERT_EQ(device.replies.size(), 2u);
    EXPECT_EQ(device.replies[0].at(0), 412);
    EXPECT_EQ(device.replies[1].at(0), 16);
    EXPECT_EQ(device.replies[1].at(1), 3);

    const Exchange back = link.read_registers(1, 4101, 3);
    ASSERT_TRUE(back.ok) << back.error;
    EXPECT_EQ(back.words, (std::vector<std::uint16_t>{7, 8, 9}));
    EXPECT_EQ(link.read_registers(1, 4197, 1).words, std::vector<std::uint16_t>{412});
}

TEST(ControlWrites, AWriteOutsideTheMapFailsAndTheDeviceHearsOfIt)
{
    ScratchDir dir;
    Simulator sim(dir, "sim", {"--tcp", "127.0.0.1:0"});
    AlarmTable alarms;
    ReferenceHost host(alarms, nullptr);
    HostServices* previous = set_host_services(&host);
    ModbusLink link(tcp_line(sim));
    WritingDevice device;

    device.modbus_write_register(2000, 1);
    const CycleOutcome outcome = run_exchanges(device, 1, link, host);
    set_host_services(previous);

    EXPECT_EQ(outcome.failed_at, 1);
    EXPECT_NE(outcome.error.find("exception 2"), std::string::npos) << outcome.error;
    EXPECT_EQ(device.errors, 1);
    EXPECT_TRUE(device.replies.empty());
}

}  // namespace
