// A scenario is checked whole before it runs; each mistake is reported with
// its line.

#include <scenario.h>

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>

namespace {

using xk83t_replay::parse_scenario;
using xk83t_replay::ScenarioError;

struct BadStep {
    const char* step;
    const char* message;
};

std::ostream& operator<<(std::ostream& out, const BadStep& bad)
{
    return out << bad.step;
}

class RejectedStep : public ::testing::TestWithParam<BadStep> {};

TEST_P(RejectedStep, IsReportedWithItsLineAndReason)
{
    // Two good lines, a comment and a blank line come first: the bad step is
    // line 5 of the file.
    std::istringstream in(std::string("{\"do\":\"create\",\"data_id\":1}\n# note\n\n{\"do\":\"refresh\"}\n") +
                          GetParam().step + "\n{\"do\":\"refresh\"}\n");
    try {
        parse_scenario(in);
        FAIL() << "accepted " << GetParam().step;
    } catch (const ScenarioError& e) {
        EXPECT_EQ(e.line(), 5);
        EXPECT_EQ(std::string(e.what()), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, RejectedStep,
    ::testing::Values(
        BadStep{R"({"do":"polll"})",
                "unknown step \"polll\" (steps: create, clock, advance, file, remove, settings, refresh, reply, "
                "error, cycle, poll, control, load_cache, get_value, host, destroy)"},
        BadStep{R"({"step":"poll"})", "a step needs \"do\" with the step's name"},
        BadStep{R"([1,2])", "a step must be a JSON object"},
        BadStep{R"({"do":"poll","registrs":{}})", "step \"poll\" has no field \"registrs\""},
        BadStep{R"({"do":"create"})", "step \"create\" needs \"data_id\""},
        BadStep{R"({"do":"create","data_id":-1})", "\"data_id\" of step \"create\" must be an integer from 0 to 4294967295"},
        BadStep{R"({"do":"clock","local":"2024-02-30 00:00:00"})",
                "\"local\" of step \"clock\" must be a local time written YYYY-MM-DD HH:MM:SS"},
        BadStep{R"({"do":"clock","local":"2024-3-5 7:04:09"})",
                "\"local\" of step \"clock\" must be a local time written YYYY-MM-DD HH:MM:SS"},
        BadStep{R"({"do":"file","path":"../outside.yaml","text":""})",
                "\"path\" of step \"file\" must not leave the working directory"},
        BadStep{R"({"do":"remove","path":"/etc/passwd"})",
                "\"path\" of step \"remove\" must be relative to the working directory"},
        BadStep{R"({"do":"reply","words":[1,65536]})", "\"words\" of step \"reply\" must hold integers from 0 to 65535"},
        BadStep{R"({"do":"cycle","registers":{"32":[1,2],"33":[3]}})",
                "\"registers\" of step \"cycle\" gives register 33 twice"},
        BadStep{R"({"do":"cycle","registers":{"65535":[1,2]}})",
                "\"registers\" of step \"cycle\" runs past register 65535 from \"65535\""},
        BadStep{R"({"do":"control","code":206,"in":"10 0"})",
                "\"in\" of step \"control\" must be a text of hex byte pairs"},
        BadStep{R"({"do":"load_cache","hex":"00","length":1})", "step \"load_cache\" needs either \"hex\" or \"length\""},
        BadStep{R"({"do":"host","bao":{"id":{"change_repot":true}}})",
                "\"bao\" of step \"host\" gives \"id\" the unknown field \"change_repot\""},
        BadStep{R"({"do":"host","threshold_level":{"K":1.5}})",
                "\"threshold_level\" of step \"host\" maps \"K\" to something other than an integer"},
        BadStep{R"({"do":"refresh"} trailing)",
                "not JSON: column 18: Extra non-whitespace after JSON value."}));

TEST(ScenarioParsing, TakesEveryStepWithItsLine)
{
    std::istringstream in(
        "# comment\n"
        "{\"do\":\"create\",\"data_id\":12}\r\n"
        "   \n"
        "{\"do\":\"control\",\"code\":206,\"in\":\"10 00 2C 01\",\"out_cap\":4}\n"
        "{\"do\":\"host\",\"bao\":{\"abcdefghij\":{\"change_report\":true,\"change_step\":1,\"last_report_time\":0}},"
        "\"threshold_value\":{\"K\":42.3},\"batch_result\":false}\n");
    const auto steps = parse_scenario(in);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].line, 2);
    EXPECT_EQ(steps[0].action, "create");
    EXPECT_EQ(steps[1].line, 4);
    EXPECT_EQ(steps[1].action, "control");
    EXPECT_EQ(steps[2].line, 5);
}

}  // namespace
