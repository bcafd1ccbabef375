#include "trace_diff.h"

#include <algorithm>
#include <sstream>

namespace xk83t_replay_test {
namespace {

constexpr std::size_t kShownChars = 160;
constexpr std::size_t kContext = 60;
constexpr int kMostDifferences = 20;
// Above this many cells the alignment would be slow; lines are then compared
// by position.
constexpr std::size_t kMostAlignmentCells = 4000000;

struct Edit {
    char op;            // ' ' same, '-' only expected, '+' only actual
    std::size_t line;   // 1-based, in expected for ' ' and '-', in actual for '+'
    std::string text;
};

std::vector<Edit> align(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    std::vector<Edit> edits;
    if (a.size() * b.size() > kMostAlignmentCells) {
        for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
            if (i < a.size() && i < b.size() && a[i] == b[i]) {
                edits.push_back({' ', i + 1, a[i]});
                continue;
            }
            if (i < a.size())
                edits.push_back({'-', i + 1, a[i]});
            if (i < b.size())
                edits.push_back({'+', i + 1, b[i]});
        }
        return edits;
    }
    // Longest common subsequence of lines, then walked from the front.
    std::vector<std::vector<std::size_t>> common(a.size() + 1, std::vector<std::size_t>(b.size() + 1, 0));
    for (std::size_t i = a.size(); i-- > 0;)
        for (std::size_t j = b.size(); j-- > 0;)
            common[i][j] = a[i] == b[j] ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
    std::size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        if (i < a.size() && j < b.size() && a[i] == b[j]) {
            edits.push_back({' ', i + 1, a[i]});
            ++i, ++j;
        } else if (j == b.size() || (i < a.size() && common[i + 1][j] >= common[i][j + 1])) {
            edits.push_back({'-', i + 1, a[i]});
            ++i;
        } else {
            edits.push_back({'+', j + 1, b[j]});
            ++j;
        }
    }
    return edits;
}

std::string shortened(const std::string& line, std::size_t from)
{
    const std::size_t start = from > kContext ? from - kContext : 0;
    std::string out = start > 0 ? "..." : "";
    out += line.substr(start, kShownChars);
    if (start + kShownChars < line.size())
        out += "...(" + std::to_string(line.size() - start - kShownChars) + " more)";
    return out;
}

std::size_t first_difference(const std::string& a, const std::string& b)
{
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n])
        ++n;
    return n;
}

}  // namespace

std::vector<std::string> split_lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

std::string trace_diff(const std::vector<std::string>& expected, const std::vector<std::string>& actual)
{
    if (expected == actual)
        return {};
    const std::vector<Edit> edits = align(expected, actual);
    std::ostringstream out;
    out << "(- expected line, + actual line)\n";
    int shown = 0;
    for (std::size_t k = 0; k < edits.size() && shown < kMostDifferences; ++k) {
        if (edits[k].op == ' ')
            continue;
        // A line replaced by another is shown from where the two part.
        std::size_t from = 0;
        if (edits[k].op == '-' && k + 1 < edits.size() && edits[k + 1].op == '+')
            from = first_difference(edits[k].text, edits[k + 1].text);
        else if (edits[k].op == '+' && k > 0 && edits[k - 1].op == '-')
            from = first_difference(edits[k - 1].text, edits[k].text);
        out << edits[k].op << " line " << edits[k].line;
        if (from > 0)
            out << ", column " << from + 1;
        out << ": " << shortened(edits[k].text, from) << "\n";
        ++shown;
    }
    if (shown == kMostDifferences)
        out << "(more differences not shown)\n";
    return out.str();
}

}  // namespace xk83t_replay_test
