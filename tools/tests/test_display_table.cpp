// The readable table of a display document, from a small hand-written
// document: values land in their rows and columns with the device's
// decimals, missing members show as "-", and CJK headings keep the columns
// aligned.

#include <host/display_table.h>
#include <host/host_config.h>
#include <host/text_width.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace xk83t_host;

namespace {

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> words_of(const std::string& line)
{
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

class DisplayTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::ostringstream out;
        render_document(read_json_file(XK83T_TOOLS_FIXTURES "/display_document.json"), 7, out);
        text = out.str();
        lines = lines_of(text);
    }

    // The feeder row whose side-A label is label, split at the separator.
    std::pair<std::vector<std::string>, std::vector<std::string>> feeder_row(const std::string& label) const
    {
        for (const std::string& line : lines)
            if (line.rfind(label + " ", 0) == 0) {
                const auto bar = line.find('|');
                return {words_of(line.substr(0, bar)), words_of(line.substr(bar + 1))};
            }
        ADD_FAILURE() << "no row " << label;
        return {};
    }

    std::string line_starting(const std::string& start) const
    {
        for (const std::string& line : lines)
            if (line.rfind(start, 0) == 0)
                return line;
        ADD_FAILURE() << "no line starting with " << start;
        return {};
    }

    std::string text;
    std::vector<std::string> lines;
};

TEST_F(DisplayTable, HeaderNamesDeviceTimeAndIdentity)
{
    EXPECT_EQ(words_of(lines.at(0)),
              (std::vector<std::string>{"XK83T", "device", "7", "更新时间", "2024-3-5", "7:4:9", "系统总告警状态", "告警"}));
    EXPECT_EQ(words_of(lines.at(1)), (std::vector<std::string>{"系统硬件编码", "2097", "系统软件版本号", "261",
                                                               "系统序列号1", "8228", "系统序列号2", "1543"}));
}

TEST_F(DisplayTable, IncomingLinesSideBySideWithTheirDecimals)
{
    const struct {
        const char* row;
        const char* a;
        const char* b;
    } cases[] = {
        {"电压", "53.51", "53.47"},        {"电流", "178.50", "160.11"},
        {"有功功率", "9.551", "-0.500"},   {"有功电能", "250000.1", "198000.0"},
        {"正极绝缘电阻", "420.00", "417.00"}, {"电流负载比", "44.63", "40.03"},
        {"开关告警状态", "告警", "正常"},  {"防雷器告警状态", "正常", "无效值"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(words_of(line_starting(std::string(c.row) + " ")), (std::vector<std::string>{c.row, c.a, c.b}));
    }
}

TEST_F(DisplayTable, FeederRowsCarryQuantitiesAndSwitchStatePerSide)
{
    const auto [a01, b01] = feeder_row("A01");
    EXPECT_EQ(a01, (std::vector<std::string>{"A01", "53.41", "4.02", "379.19", "0.215", "937.5", "25.13", "正常"}));
    EXPECT_EQ(b01, (std::vector<std::string>{"B01", "-", "-", "-", "-", "-", "-", "-"}));

    const auto [a07, b07] = feeder_row("A07");
    EXPECT_EQ(a07.back(), "告警");  // switch A7 belongs to feeder A07

    const auto [a48, b48] = feeder_row("A48");
    EXPECT_EQ(b48, (std::vector<std::string>{"B48", "0.00", "0.00", "-1.50", "0.000", "7461.0", "0.00", "未启用"}));
}

TEST_F(DisplayTable, FeederColumnsStayAlignedUnderChineseHeadings)
{
    const std::string heading = line_starting("馈线");
    int rows = 0;
    for (const std::string& line : lines)
        if (line.size() > 3 && (line[0] == 'A') && line[1] >= '0' && line[1] <= '9') {
            EXPECT_EQ(display_width(line.substr(0, line.find('|'))), display_width(heading.substr(0, heading.find('|'))))
                << line;
            ++rows;
        }
    EXPECT_EQ(rows, 48);
}

TEST_F(DisplayTable, EnvironmentAndLatchedAlerts)
{
    EXPECT_EQ(words_of(line_starting("环境温度")), (std::vector<std::string>{"环境温度", "25.3", "环境湿度", "45.0"}));
    EXPECT_EQ(words_of(line_starting("AlertArray")),
              (std::vector<std::string>{"AlertArray", "A路进线开关告警状态=1", "系统总告警状态=true"}));
}

TEST(DisplayTableEmpty, NullDocumentSaysSo)
{
    std::ostringstream out;
    render_document(Json::Value(), 3, out);
    EXPECT_NE(out.str().find("device 3"), std::string::npos);
    EXPECT_NE(out.str().find("empty"), std::string::npos);
}

TEST(TextWidth, ChineseCharactersTakeTwoColumns)
{
    EXPECT_EQ(display_width("A01"), 3);
    EXPECT_EQ(display_width("电压"), 4);
    EXPECT_EQ(display_width("A路进线-电压"), 12);
    EXPECT_EQ(pad_left("电压", 6), "  电压");
    EXPECT_EQ(pad_right("正常", 6), "正常  ");
    EXPECT_EQ(pad_right("未启用", 4), "未启用");  // never cut
}

}  // namespace
