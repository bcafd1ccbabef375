// Faults on the line, from the simulator program: dropped, damaged and late
// replies, a device that stalls and comes back, one that vanishes and is
// restarted, one that never answers beside one that does. Whatever
// happens, every saved record holds exactly what the simulator served for
// each block of one cycle (nothing shifted onto another block's reply), a
// failed cycle saves nothing, and polling recovers by itself.

#include "e2e_support.h"

#include <acquisition/record.h>
#include <host/modbus_link.h>
#include <sim/sim_server.h>

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <regex>
#include <sys/socket.h>
#include <thread>

using namespace xk83t_e2e;
using namespace std::chrono_literals;

namespace {

constexpr const char* kBaud = "230400";

struct CycleLines {
    int published = 0;
    int failed = 0;
    bool recovered = false;  // a cycle published after one failed
    bool back_to_back = false;  // two failed cycles in a row
};

CycleLines cycle_lines(const std::string& out)
{
    CycleLines lines;
    const std::regex heading(R"(=== cycle \d+  device \d+  (.*))");
    bool previous_published = true;
    for (std::sregex_iterator it(out.begin(), out.end(), heading), end; it != end; ++it) {
        const bool published = (*it)[1].str().find("record published") != std::string::npos;
        lines.back_to_back = lines.back_to_back || (!published && !previous_published);
        previous_published = published;
        (published ? lines.published : lines.failed)++;
        lines.recovered = lines.recovered || (published && lines.failed > 0);
    }
    return lines;
}

void expect_records_match(const std::vector<xk83t_host::HistoryRow>& rows, const std::vector<ServedCycle>& cycles)
{
    ASSERT_EQ(rows.size(), cycles.size()) << "every cycle the simulator served completely is saved, no other";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::vector<unsigned char> registers(rows[i].record.begin() + 4,
                                                   rows[i].record.begin() + offsetof(XK83T_Data_t, update_time));
        EXPECT_TRUE(registers == cycles[i].registers)
            << "record " << i + 1 << " differs from the cycle served from request " << cycles[i].first_request;
    }
}

struct FaultCase {
    const char* name;
    bool tcp;
    std::vector<std::string> sim;
    int cycles;
    // A fault that hits one request only costs one cycle: the next one,
    // with the line back in step, completes.
    bool one_cycle_lost;
};

void PrintTo(const FaultCase& c, std::ostream* out)
{
    *out << c.name;
}

class LineFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(LineFaults, RecordsStayTrueAndPollingRecovers)
{
    const FaultCase& c = GetParam();
    ScratchDir dir;
    std::vector<std::string> sim_args = c.tcp ? std::vector<std::string>{"--tcp", "127.0.0.1:0"}
                                              : std::vector<std::string>{"--rtu", "--baud", kBaud};
    sim_args.insert(sim_args.end(), c.sim.begin(), c.sim.end());
    sim_args.push_back("--pattern");
    Simulator sim(dir, "sim", sim_args);

    std::vector<std::string> host{"poll", "--timeout-ms", "250", "--gap-ms", "2", "--interval-ms", "0", "--cycles",
                                  std::to_string(c.cycles), "--history", dir.file("history.db"), "--quiet"};
    if (c.tcp)
        host.insert(host.end(), {"--tcp", sim.endpoint()});
    else
        host.insert(host.end(), {"--rtu", sim.endpoint(), "--baud", kBaud});
    const RunResult run = run_program(host_command(host), 30s, dir, "host");
    sim.stop();
    ASSERT_EQ(run.code, 0) << run.err;

    const CycleLines lines = cycle_lines(run.out);
    EXPECT_EQ(lines.published + lines.failed, c.cycles) << run.out;
    EXPECT_GE(lines.failed, 1) << "the fault never hit a cycle";
    EXPECT_TRUE(lines.recovered) << "polling did not recover:\n" << run.out;
    if (c.one_cycle_lost) {
        EXPECT_FALSE(lines.back_to_back) << "the line stayed out of step after a fault:\n" << run.out;
    }

    const auto rows = history_rows(dir.file("history.db"), 1);
    EXPECT_EQ(static_cast<int>(rows.size()), lines.published) << "a failed cycle saved a record";
    expect_records_match(rows, served_cycles(sim.log()));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LineFaults,
    ::testing::Values(
        FaultCase{"DroppedReplies", false, {"--drop-every", "60"}, 6, true},
        FaultCase{"CorruptedFramesSerial", false, {"--corrupt-every", "60"}, 6, true},
        FaultCase{"CorruptedFramesTcp", true, {"--corrupt-every", "60"}, 6, true},
        // Later than the reply timeout (250 ms) but within the quiet wait
        // that follows it (as long again): the reply must be thrown away,
        // not taken as the answer to the next request.
        FaultCase{"LateReplies", false, {"--delay-ms", "375", "--delay-every", "50"}, 6, true},
        FaultCase{"LateRepliesTcp", true, {"--delay-ms", "375", "--delay-every", "50"}, 6, true},
        FaultCase{"StallThenRecover", true, {"--stall-after", "100", "--stall-ms", "1200"}, 8, false}),
    [](const auto& info) { return std::string(info.param.name); });

// The late-reply hazard at the master itself, on a pseudo-terminal: read B
// times out, its reply arrives while the line is still being watched, and
// the next read must get C's registers, not B's. With no quiet wait, the
// same test shows the shift the wait prevents.
std::vector<std::uint16_t> pattern(int start, int count, long request)
{
    std::vector<std::uint16_t> words;
    for (int r = start; r < start + count; ++r)
        words.push_back(xk83t_sim::pattern_word(r, request));
    return words;
}

xk83t_host::LinkSettings serial_line(const std::string& path, int quiet_ms)
{
    xk83t_host::LinkSettings line;
    line.kind = xk83t_host::LinkSettings::Kind::Rtu;
    line.device = path;
    line.baud = 230400;
    line.response_timeout = 300ms;
    line.guard_gap = 2ms;
    line.quiet = std::chrono::milliseconds(quiet_ms);
    return line;
}

TEST(LateReply, WaitingForQuietKeepsTheNextReadInStep)
{
    ScratchDir dir;
    Simulator sim(dir, "sim", {"--rtu", "--baud", kBaud, "--pattern", "--delay-ms", "450", "--delay-every", "2"});
    xk83t_host::ModbusLink link(serial_line(sim.endpoint(), -1));
    const auto a = link.read_registers(1, 32, 36);  // request 1: on time
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(a.words, pattern(32, 36, 1));
    const auto b = link.read_registers(1, 68, 36);  // request 2: 450 ms late, after a 300 ms timeout
    EXPECT_FALSE(b.ok);
    const auto c = link.read_registers(1, 104, 36);  // request 3
    ASSERT_TRUE(c.ok) << c.error;
    EXPECT_EQ(c.words, pattern(104, 36, 3));
    EXPECT_GT(link.discarded_bytes(), 0);
}

TEST(LateReply, WithoutTheQuietWaitTheLateReplyShiftsTheNextBlock)
{
    ScratchDir dir;
    Simulator sim(dir, "sim", {"--rtu", "--baud", kBaud, "--pattern", "--delay-ms", "450", "--delay-every", "2"});
    xk83t_host::ModbusLink link(serial_line(sim.endpoint(), 0));
    ASSERT_TRUE(link.read_registers(1, 32, 36).ok);
    EXPECT_FALSE(link.read_registers(1, 68, 36).ok);
    const auto c = link.read_registers(1, 104, 36);
    // libmodbus cannot tell: same slave, function and length.
    ASSERT_TRUE(c.ok) << c.error;
    EXPECT_EQ(c.words, pattern(68, 36, 2));
}

int unused_port()
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    close(s);
    return ntohs(address.sin_port);
}

TEST(LostConnection, ReopenedWithBackOffWhenTheDeviceComesBack)
{
    ScratchDir dir;
    auto first = std::make_unique<Simulator>(dir, "first", std::vector<std::string>{"--tcp", "127.0.0.1:0", "--pattern"});
    const std::string endpoint = first->endpoint();
    ChildProcess host(host_command({"poll", "--tcp", endpoint, "--timeout-ms", "200", "--backoff-ms", "100",
                                    "--interval-ms", "50", "--cycles", "40", "--history", dir.file("history.db"),
                                    "--quiet"}),
                      dir.file("host.out"), dir.file("host.err"));
    std::this_thread::sleep_for(700ms);
    first->stop();
    std::this_thread::sleep_for(600ms);
    Simulator second(dir, "second", {"--tcp", endpoint, "--pattern"});
    ASSERT_EQ(host.wait(30s), 0) << read_file(dir.file("host.err"));
    second.stop();

    const std::string out = read_file(dir.file("host.out"));
    const CycleLines lines = cycle_lines(out);
    EXPECT_GE(lines.failed, 1) << out;
    EXPECT_TRUE(lines.recovered) << out;
    const auto before = served_cycles(first->log());
    const auto after = served_cycles(second.log());
    EXPECT_GE(before.size(), 1u);
    EXPECT_GE(after.size(), 1u);
    auto cycles = before;
    cycles.insert(cycles.end(), after.begin(), after.end());
    expect_records_match(history_rows(dir.file("history.db"), 1), cycles);
}

TEST(SeveralDevices, OneFailingDeviceNeverStopsTheOthers)
{
    ScratchDir dir;
    Simulator good(dir, "good", {"--tcp", "127.0.0.1:0", "--pattern"});
    Simulator stalled(dir, "stalled", {"--tcp", "127.0.0.1:0", "--stall-after", "1"});
    const std::string config = dir.file("host.json");
    std::ofstream(config) << R"({"devices": [
        {"data_id": 1, "tcp": ")" << good.endpoint() << R"("},
        {"data_id": 2, "tcp": ")" << stalled.endpoint() << R"("},
        {"data_id": 3, "tcp": "127.0.0.1:)" << unused_port() << R"("}]})";
    const RunResult run =
        run_program(host_command({"poll", "--config", config, "--timeout-ms", "200", "--interval-ms", "0",
                                  "--cycles", "3", "--history", dir.file("history.db"), "--quiet"}),
                    30s, dir, "host");
    good.stop();
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("device 1: 3 cycles, 3 records published, 3 saved, 0 failed"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("device 2: 3 cycles, 0 records published, 0 saved, 3 failed"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("device 3: 3 cycles, 0 records published, 0 saved, 3 failed"), std::string::npos) << run.out;
    expect_records_match(history_rows(dir.file("history.db"), 1), served_cycles(good.log()));
    EXPECT_TRUE(history_rows(dir.file("history.db"), 2).empty());
}

}  // namespace
