// The host program loads the real xk83t.so and polls the simulator program
// over a pseudo-terminal and over TCP: every record it publishes and saves
// holds, byte for byte, the registers the simulator served in one cycle;
// mbpoll, a Modbus master we did not write, reads the same registers.

#include "e2e_support.h"

#include <acquisition/record.h>

#include <json/reader.h>

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <sstream>

using namespace xk83t_e2e;
using namespace std::chrono_literals;

namespace {

// Fast lines for tests: a pseudo-terminal at a high speed, a short guard gap.
const std::vector<std::string> kFastLine{"--gap-ms", "2"};
constexpr const char* kBaud = "230400";

std::vector<std::string> line_arguments(const Simulator& sim, bool tcp)
{
    std::vector<std::string> args = tcp ? std::vector<std::string>{"--tcp", sim.endpoint()}
                                        : std::vector<std::string>{"--rtu", sim.endpoint(), "--baud", kBaud};
    args.insert(args.end(), kFastLine.begin(), kFastLine.end());
    return args;
}

std::vector<std::string> sim_line(bool tcp)
{
    return tcp ? std::vector<std::string>{"--tcp", "127.0.0.1:0"} : std::vector<std::string>{"--rtu", "--baud", kBaud};
}

template <typename... Lists>
std::vector<std::string> join(Lists... lists)
{
    std::vector<std::string> all;
    (all.insert(all.end(), lists.begin(), lists.end()), ...);
    return all;
}

// Every saved record is one cycle the simulator served completely, in
// order, and every such cycle was saved.
void expect_records_are_served_cycles(const std::vector<xk83t_host::HistoryRow>& rows,
                                      const std::vector<ServedCycle>& cycles, unsigned data_id)
{
    ASSERT_EQ(rows.size(), cycles.size()) << "records saved vs cycles the simulator served completely";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i + 1));
        const std::vector<unsigned char>& record = rows[i].record;
        ASSERT_EQ(record.size(), xk83t::kRecordSize);
        std::uint32_t id;
        std::memcpy(&id, record.data(), 4);
        EXPECT_EQ(id, data_id);
        const std::vector<unsigned char> registers(record.begin() + 4,
                                                   record.begin() + offsetof(XK83T_Data_t, update_time));
        EXPECT_TRUE(registers == cycles[i].registers) << "registers differ from cycle starting at request "
                                                       << cycles[i].first_request;
        std::uint16_t year;
        std::memcpy(&year, record.data() + offsetof(XK83T_Data_t, update_time), 2);
        EXPECT_GE(year, 2020);
    }
}

struct TransportCase {
    const char* name;
    bool tcp;
    std::vector<std::string> sim_values;  // --pattern, or plant values
};

void PrintTo(const TransportCase& c, std::ostream* out)
{
    *out << c.name;
}

class PollsSimulator : public ::testing::TestWithParam<TransportCase> {};

TEST_P(PollsSimulator, RecordsHoldWhatTheSimulatorServedByteForByte)
{
    ScratchDir dir;
    const TransportCase& c = GetParam();
    Simulator sim(dir, "sim", join(sim_line(c.tcp), c.sim_values));
    const RunResult host =
        run_program(host_command(join(std::vector<std::string>{"poll"}, line_arguments(sim, c.tcp),
                                      std::vector<std::string>{"--cycles", "4", "--interval-ms", "0", "--data-id",
                                                               "7", "--history", dir.file("history.db")})),
                    20s, dir, "host");
    sim.stop();
    ASSERT_EQ(host.code, 0) << host.err;
    EXPECT_NE(host.out.find("device 7: 4 cycles, 4 records published, 4 saved, 0 failed"), std::string::npos)
        << host.out;
    const auto rows = history_rows(dir.file("history.db"), 7);
    EXPECT_EQ(rows.size(), 4u);
    expect_records_are_served_cycles(rows, served_cycles(sim.log()), 7);
}

INSTANTIATE_TEST_SUITE_P(Transports, PollsSimulator,
                         ::testing::Values(TransportCase{"PseudoTerminal", false, {"--pattern"}},
                                           TransportCase{"Tcp", true, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Reads registers with mbpoll; register number to value.
std::map<int, std::uint16_t> mbpoll_read(const ScratchDir& dir, const Simulator& sim, bool tcp, int start, int count)
{
    std::vector<std::string> argv{XK83T_MBPOLL_EXE, "-0", "-1", "-a", "1", "-t", "4:hex",
                                  "-r", std::to_string(start), "-c", std::to_string(count)};
    if (tcp) {
        argv.insert(argv.end(), {"-m", "tcp", "-p", std::to_string(sim.port()), "127.0.0.1"});
    } else {
        argv.insert(argv.end(), {"-m", "rtu", "-b", kBaud, "-P", "none", sim.endpoint()});
    }
    const RunResult r = run_program(argv, 10s, dir, "mbpoll");
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    std::map<int, std::uint16_t> values;
    const std::regex line(R"(\[(\d+)\]:\s+0x([0-9A-Fa-f]{4}))");
    for (std::sregex_iterator it(r.out.begin(), r.out.end(), line), end; it != end; ++it)
        values[std::stoi((*it)[1])] = static_cast<std::uint16_t>(std::stoul((*it)[2], nullptr, 16));
    return values;
}

class MbpollCrossCheck : public ::testing::TestWithParam<bool> {};

TEST_P(MbpollCrossCheck, AnotherMasterReadsWhatTheHostPublished)
{
    ASSERT_STRNE(XK83T_MBPOLL_EXE, "") << "mbpoll is not installed (scripts/setup-deps installs it)";
    const bool tcp = GetParam();
    ScratchDir dir;
    Simulator sim(dir, "sim", join(sim_line(tcp), std::vector<std::string>{"--frozen"}));
    const RunResult host = run_program(
        host_command(join(std::vector<std::string>{"poll"}, line_arguments(sim, tcp),
                          std::vector<std::string>{"--cycles", "1", "--history", dir.file("history.db"), "--quiet"})),
        20s, dir, "host");
    ASSERT_EQ(host.code, 0) << host.err;
    const auto rows = history_rows(dir.file("history.db"), 1);
    ASSERT_EQ(rows.size(), 1u);
    const std::vector<unsigned char>& record = rows[0].record;

    // Both areas, in mbpoll's largest reads.
    const struct {
        int first;
        int count;
        std::size_t offset;
    } areas[] = {{0, 1184, 4}, {4096, 103, 2372}};
    int compared = 0;
    for (const auto& area : areas)
        for (int start = area.first; start < area.first + area.count; start += 125) {
            const int count = std::min(125, area.first + area.count - start);
            const auto values = mbpoll_read(dir, sim, tcp, start, count);
            ASSERT_EQ(values.size(), static_cast<std::size_t>(count)) << "mbpoll read " << start << "+" << count;
            for (const auto& [reg, value] : values) {
                std::uint16_t published;
                std::memcpy(&published, record.data() + area.offset + 2 * static_cast<std::size_t>(reg - area.first), 2);
                ASSERT_EQ(published, value) << "register " << reg;
                ++compared;
            }
        }
    EXPECT_EQ(compared, 1287);
}

INSTANTIATE_TEST_SUITE_P(Transports, MbpollCrossCheck, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "Tcp" : "PseudoTerminal"); });

TEST(PollJson, OneDocumentPerCompletedCycleAndNothingElseOnStandardOutput)
{
    ScratchDir dir;
    Simulator sim(dir, "sim", sim_line(true));
    const RunResult host = run_program(
        host_command(join(std::vector<std::string>{"poll"}, line_arguments(sim, true),
                          std::vector<std::string>{"--cycles", "3", "--interval-ms", "0", "--json"})),
        20s, dir, "host");
    ASSERT_EQ(host.code, 0) << host.err;
    std::istringstream lines(host.out);
    int documents = 0;
    Json::CharReaderBuilder builder;
    for (std::string line; std::getline(lines, line); ++documents) {
        Json::Value doc;
        std::string errors;
        std::istringstream one(line);
        EXPECT_TRUE(Json::parseFromStream(builder, one, &doc, &errors)) << line;
        EXPECT_TRUE(doc.isNull() || doc.isObject()) << line;
    }
    EXPECT_EQ(documents, 3);
    // The plug-in's own console lines go to standard error, marked.
    EXPECT_NE(host.err.find("xk83t| rvSize is 0"), std::string::npos) << host.err;
}

TEST(PollHistory, LatestRecordIsRestoredAtStartAndNotSavedAgain)
{
    ScratchDir dir;
    Simulator sim(dir, "sim", sim_line(true));
    const auto command = host_command(join(std::vector<std::string>{"poll"}, line_arguments(sim, true),
                                           std::vector<std::string>{"--cycles", "2", "--interval-ms", "0",
                                                                    "--history", dir.file("history.db"), "--quiet"}));
    const RunResult first = run_program(command, 20s, dir, "first");
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(first.out.find("restored"), std::string::npos);
    const RunResult second = run_program(command, 20s, dir, "second");
    ASSERT_EQ(second.code, 0) << second.err;
    EXPECT_NE(second.out.find("device 1: restored its latest record from the history"), std::string::npos)
        << second.out;
    sim.stop();
    EXPECT_EQ(history_rows(dir.file("history.db"), 1).size(), 4u);
    expect_records_are_served_cycles(history_rows(dir.file("history.db"), 1), served_cycles(sim.log()), 1);
}

TEST(Demo, RunsTheMainJobEndToEnd)
{
    ScratchDir dir;
    const RunResult demo = run_program(host_command({"demo", "--baud", "115200", "--cycles", "2"}), 30s, dir, "demo");
    ASSERT_EQ(demo.code, 0) << demo.out << demo.err;
    EXPECT_NE(demo.out.find("=== cycle 1  device 1  41 blocks read, record published"), std::string::npos) << demo.out;
    EXPECT_NE(demo.out.find("=== cycle 2  device 1  41 blocks read, record published"), std::string::npos) << demo.out;
    EXPECT_NE(demo.out.find(">>> before cycle 2"), std::string::npos);
    EXPECT_NE(demo.out.find("settings/xk83t-demo.json (alarm mode 5)"), std::string::npos);
    EXPECT_NE(demo.out.find("device 1: 2 cycles, 2 records published, 2 saved, 0 failed"), std::string::npos);
}

}  // namespace
