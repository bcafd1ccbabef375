// Each case is a scenario and the trace it must produce, event for event.

#include "trace_diff.h"

#include <runner.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> case_names()
{
    std::vector<std::string> names;
    std::istringstream list(XK83T_SCENARIO_CASES);
    std::string name;
    while (std::getline(list, name, ','))
        if (!name.empty())
            names.push_back(name);
    return names;
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << "cannot open " << path;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class Scenario : public ::testing::TestWithParam<std::string> {};

TEST_P(Scenario, ProducesItsTrace)
{
    const std::string base = std::string(XK83T_SCENARIO_DIR) + "/" + GetParam();
    std::ifstream scenario(base + ".jsonl", std::ios::binary);
    ASSERT_TRUE(scenario) << "cannot open " << base << ".jsonl";

    std::ostringstream trace, errors;
    const int status = xk83t_replay::run_scenario(scenario, GetParam() + ".jsonl", trace, errors, {});

    EXPECT_EQ(status, 0) << errors.str();
    const std::string diff =
        xk83t_replay_test::trace_diff(xk83t_replay_test::split_lines(read_file(base + ".trace.jsonl")),
                                      xk83t_replay_test::split_lines(trace.str()));
    EXPECT_TRUE(diff.empty()) << "the trace of " << base << ".jsonl differs from " << base << ".trace.jsonl\n"
                              << diff;
}

INSTANTIATE_TEST_SUITE_P(Cases, Scenario, ::testing::ValuesIn(case_names()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
