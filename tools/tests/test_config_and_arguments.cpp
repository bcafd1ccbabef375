// Command-line values and the host configuration file.

#include <common/arguments.h>
#include <host/host_config.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

using namespace xk83t_host;
using namespace xk83t_tools;

namespace {

TEST(Arguments, HostPort)
{
    EXPECT_EQ(parse_host_port("127.0.0.1:1502").host, "127.0.0.1");
    EXPECT_EQ(parse_host_port("127.0.0.1:1502").port, 1502);
    EXPECT_EQ(parse_host_port("127.0.0.1:0").port, 0);
    for (const char* bad : {"127.0.0.1", ":502", "host:", "host:70000", "host:12x", "host:-1"})
        EXPECT_THROW(parse_host_port(bad), std::invalid_argument) << bad;
}

TEST(Arguments, RegisterAssignment)
{
    EXPECT_EQ(parse_register_assignment("4197=253"), std::make_pair(4197, std::uint16_t{253}));
    EXPECT_EQ(parse_register_assignment("0x1000=0xFFFF"), std::make_pair(4096, std::uint16_t{0xFFFF}));
    for (const char* bad : {"4197", "=1", "4197=", "4197=65536", "4197=-1", "x=1", "4197= 1"})
        EXPECT_THROW(parse_register_assignment(bad), std::invalid_argument) << bad;
}

TEST(Arguments, Parity)
{
    EXPECT_EQ(parse_parity("N"), 'N');
    EXPECT_EQ(parse_parity("e"), 'E');
    EXPECT_EQ(parse_parity("O"), 'O');
    for (const char* bad : {"", "X", "NO", "none"})
        EXPECT_THROW(parse_parity(bad), std::invalid_argument) << bad;
}

class ConfigFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/xk83t-config-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override
    {
        for (const std::string& f : files)
            std::remove(f.c_str());
        rmdir(dir.c_str());
    }
    std::string write(const std::string& name, const std::string& text)
    {
        const std::string path = dir + "/" + name;
        std::ofstream(path) << text;
        files.push_back(path);
        return path;
    }
    std::string dir;
    std::vector<std::string> files;
};

TEST_F(ConfigFolder, DevicesLinesSettingsAndTables)
{
    write("mode5.json", R"({"appSetting": {"b_mode": 5}})");
    const std::string path = write("host.json", R"({
      "plugin": "lib/xk83t.so",
      "history": "/var/lib/x.db",
      "threshold_level_map": {"k": 2},
      "threshold_value_map": {"k": 57.5},
      "bao_settings": {"041810100": {"change_report": true, "change_step": 0.5}},
      "devices": [
        {"data_id": 3, "rtu": "/dev/ttyS1", "baud": 19200, "parity": "E", "stop": 2, "slave": 7,
         "settings": "mode5.json"},
        {"data_id": 4, "tcp": "127.0.0.1:1502", "unit": 2, "settings": {"appSetting": {"b_mode": 3}},
         "threshold_level_map": {"k": 1}, "analog_limits": {"041610101": {"high": 57, "level": 3}}}
      ]})");
    LinkSettings timing;
    timing.response_timeout = std::chrono::milliseconds(250);
    const HostConfig config = load_host_config(path, timing);

    EXPECT_EQ(config.plugin, dir + "/lib/xk83t.so");
    EXPECT_EQ(config.history, "/var/lib/x.db");
    ASSERT_EQ(config.devices.size(), 2u);
    const DeviceConfig& serial = config.devices[0];
    EXPECT_EQ(serial.data_id, 3u);
    EXPECT_EQ(serial.link.kind, LinkSettings::Kind::Rtu);
    EXPECT_EQ(serial.link.endpoint(), "rtu:/dev/ttyS1");
    EXPECT_EQ(serial.link.baud, 19200);
    EXPECT_EQ(serial.link.parity, 'E');
    EXPECT_EQ(serial.link.stop_bits, 2);
    EXPECT_EQ(serial.link.response_timeout.count(), 250);
    EXPECT_EQ(serial.unit, 7);
    EXPECT_EQ(serial.settings["appSetting"]["b_mode"].asInt(), 5);
    EXPECT_EQ(serial.tables.threshold_levels.at("k"), 2);
    EXPECT_FLOAT_EQ(serial.tables.threshold_values.at("k"), 57.5f);
    EXPECT_TRUE(serial.tables.bao_settings.at("041810100").change_report);
    EXPECT_FLOAT_EQ(serial.tables.bao_settings.at("041810100").change_step, 0.5f);
    EXPECT_FALSE(serial.tables.bao_settings.at("041810100").period_report);

    const DeviceConfig& tcp = config.devices[1];
    EXPECT_EQ(tcp.link.endpoint(), "tcp:127.0.0.1:1502");
    EXPECT_EQ(tcp.unit, 2);
    EXPECT_EQ(tcp.settings["appSetting"]["b_mode"].asInt(), 3);
    EXPECT_EQ(tcp.tables.threshold_levels.at("k"), 1);       // its own table replaces the shared one
    EXPECT_FLOAT_EQ(tcp.tables.threshold_values.at("k"), 57.5f);  // the shared one where it gives none
    EXPECT_FLOAT_EQ(*tcp.tables.analog_limits.at("041610101").high, 57.0f);
    EXPECT_FALSE(tcp.tables.analog_limits.at("041610101").low);
}

TEST_F(ConfigFolder, MistakesAreNamed)
{
    const struct {
        const char* text;
        const char* says;
    } cases[] = {
        {"[1]", "top level"},
        {R"({"devices": []})", "devices"},
        {R"({"devices": [{"data_id": 1}]})", "rtu and tcp"},
        {R"({"devices": [{"rtu": "/dev/x", "tcp": "h:1"}]})", "rtu and tcp"},
        {R"({"devices": [{"tcp": "nohost"}]})", "HOST:PORT"},
        {R"({"devices": [{"rtu": "/dev/x", "parity": "Q"}]})", "parity"},
        {R"({"devices": [{"rtu": "/dev/x", "settings": "missing.json"}]})", "cannot read"},
        {R"({"threshold_level_map": {"k": 1.5}, "devices": [{"rtu": "/dev/x"}]})", "whole number"},
        {R"({"devices": [{"rtu": "/dev/x"}], )", "not valid JSON"},
    };
    for (const auto& c : cases) {
        const std::string path = write("bad.json", c.text);
        try {
            load_host_config(path, {});
            ADD_FAILURE() << "accepted " << c.text;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("bad.json"), std::string::npos) << e.what();
        } catch (const std::exception& e) {
            ADD_FAILURE() << c.text << ": " << e.what();
        }
    }
}

}  // namespace
