#include "display_table.h"

#include "text_width.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace xk83t_host {

namespace {

// A column or row of the table: its heading, the member-name suffix it
// shows, and the decimals the device's scaling gives it (-1: a text).
struct Quantity {
    const char* heading;
    const char* suffix;
    int decimals;
};

constexpr Quantity kIdentity[] = {
    {"系统硬件编码", "系统硬件编码", 0},
    {"系统软件版本号", "系统软件版本号", 0},
    {"系统序列号1", "系统序列号1", 0},
    {"系统序列号2", "系统序列号2", 0},
};

constexpr Quantity kLineRows[] = {
    {"电压", "路进线-电压", 2},
    {"电流", "路进线-电流", 2},
    {"有功功率", "路进线-有功功率", 3},
    {"有功电能", "路进线-有功电能", 1},
    {"正极绝缘电阻", "路进线-正极绝缘电阻", 2},
    {"负极绝缘电阻", "路进线-负极绝缘电阻", 2},
    {"电流负载比", "路进线-电流负载比", 2},
    {"开关告警状态", "路进线开关告警状态", -1},
    {"防雷器告警状态", "路进线防雷器告警状态", -1},
};

constexpr Quantity kFeederColumns[] = {
    {"电压", "电压", 2},
    {"电流", "电流", 2},
    {"绝缘电阻", "绝缘电阻", 2},
    {"有功功率", "有功功率", 3},
    {"有功电能", "有功电能", 1},
    {"负载比", "电流负载比", 2},
};

constexpr Quantity kEnvironment[] = {
    {"环境温度", "环境温度", 1},
    {"环境湿度", "环境湿度", 1},
};

constexpr const char* kSides[] = {"A", "B"};
constexpr int kFeedersPerSide = 48;
constexpr const char* kSwitchHeading = "开关";
constexpr const char* kFeederHeading = "馈线";

std::string value_text(const Json::Value& document, const std::string& name, int decimals)
{
    if (!document.isObject() || !document.isMember(name))
        return "-";
    const Json::Value& v = document[name];
    if (v.isNull())
        return "-";
    if (v.isString())
        return v.asString();
    if (v.isBool())
        return v.asBool() ? "true" : "false";
    if (v.isNumeric()) {
        char text[48];
        std::snprintf(text, sizeof text, "%.*f", std::max(decimals, 0), v.asDouble());
        return text;
    }
    return "?";
}

std::string feeder_label(int side, int number)
{
    char label[8];
    std::snprintf(label, sizeof label, "%s%02d", kSides[side], number);
    return label;
}

// The cells of one side's feeder row: label, quantities, switch state.
std::vector<std::string> feeder_cells(const Json::Value& document, int side, int number)
{
    const std::string label = feeder_label(side, number);
    std::vector<std::string> cells{label};
    for (const Quantity& q : kFeederColumns)
        cells.push_back(value_text(document, label + q.suffix, q.decimals));
    cells.push_back(value_text(document, kSides[side] + std::to_string(number) + "开关告警状态", -1));
    return cells;
}

std::string trimmed(std::string line)
{
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

std::vector<std::string> feeder_headings()
{
    std::vector<std::string> headings{kFeederHeading};
    for (const Quantity& q : kFeederColumns)
        headings.push_back(q.heading);
    headings.push_back(kSwitchHeading);
    return headings;
}

std::string join_cells(const std::vector<std::string>& cells, const std::vector<int>& widths)
{
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += ' ';
        // Labels and texts to the left, numbers to the right.
        const bool left = i == 0 || i + 1 == cells.size();
        line += left ? pad_right(cells[i], widths[i]) : pad_left(cells[i], widths[i]);
    }
    return line;
}

void render_header(const Json::Value& document, unsigned data_id, std::ostream& out)
{
    out << "XK83T device " << data_id << "  更新时间 " << value_text(document, "更新时间", -1) << "  系统总告警状态 "
        << value_text(document, "系统总告警状态", -1) << '\n';
    std::string identity;
    for (const Quantity& q : kIdentity)
        identity += std::string(identity.empty() ? "" : "  ") + q.heading + " " + value_text(document, q.suffix, q.decimals);
    out << identity << '\n';
}

void render_lines(const Json::Value& document, std::ostream& out)
{
    int heading_width = display_width("进线");
    for (const Quantity& q : kLineRows)
        heading_width = std::max(heading_width, display_width(q.heading));
    std::vector<std::vector<std::string>> rows;
    int value_width = display_width("A路");
    for (const Quantity& q : kLineRows) {
        std::vector<std::string> row{q.heading};
        for (const char* side : kSides) {
            row.push_back(value_text(document, side + std::string(q.suffix), q.decimals));
            value_width = std::max(value_width, display_width(row.back()));
        }
        rows.push_back(row);
    }
    out << pad_right("进线", heading_width) << "  " << pad_left("A路", value_width) << "  "
        << pad_left("B路", value_width) << '\n';
    for (const auto& row : rows)
        out << pad_right(row[0], heading_width) << "  " << pad_left(row[1], value_width) << "  "
            << pad_left(row[2], value_width) << '\n';
}

void render_feeders(const Json::Value& document, std::ostream& out)
{
    const std::vector<std::string> headings = feeder_headings();
    std::vector<int> widths;
    for (const std::string& h : headings)
        widths.push_back(display_width(h));
    std::vector<std::vector<std::string>> cells[2];
    for (int side = 0; side < 2; ++side)
        for (int number = 1; number <= kFeedersPerSide; ++number) {
            cells[side].push_back(feeder_cells(document, side, number));
            for (std::size_t i = 0; i < widths.size(); ++i)
                widths[i] = std::max(widths[i], display_width(cells[side].back()[i]));
        }
    const std::string heading = join_cells(headings, widths);
    out << trimmed(heading + "  |  " + heading) << '\n';
    for (int row = 0; row < kFeedersPerSide; ++row)
        out << trimmed(join_cells(cells[0][static_cast<std::size_t>(row)], widths) + "  |  " +
                       join_cells(cells[1][static_cast<std::size_t>(row)], widths))
            << '\n';
}

void render_environment(const Json::Value& document, std::ostream& out)
{
    std::string line;
    for (const Quantity& q : kEnvironment)
        line += std::string(line.empty() ? "" : "  ") + q.heading + " " + value_text(document, q.suffix, q.decimals);
    out << line << '\n';
    const Json::Value& latched = document.isObject() ? document["AlertArray"] : Json::Value::nullSingleton();
    if (latched.isObject() && !latched.empty()) {
        std::string members;
        for (const std::string& name : latched.getMemberNames())
            members += "  " + name + "=" + value_text(latched, name, 0);
        out << "AlertArray" << members << '\n';
    }
}

}  // namespace

void render_document(const Json::Value& document, unsigned data_id, std::ostream& out)
{
    if (!document.isObject()) {
        out << "XK83T device " << data_id << ": the display document is empty (no cycle shown yet)\n";
        return;
    }
    render_header(document, data_id, out);
    out << '\n';
    render_lines(document, out);
    out << '\n';
    render_feeders(document, out);
    out << '\n';
    render_environment(document, out);
}

}  // namespace xk83t_host
