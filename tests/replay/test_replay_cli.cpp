// The tool as an integrator runs it: trace on standard output, the plug-in's
// console lines inside it, errors on standard error, and the exit status.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <stdlib.h>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class ReplayTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "xk83t-replay-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string write(const std::string& name, const std::string& text) const
    {
        const fs::path file = dir_ / name;
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
        return file.string();
    }

    static std::string read(const fs::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Runs the tool with the arguments (already quoted as needed) and the
    // given standard input.
    ToolRun run(const std::string& arguments, const std::string& input = "") const
    {
        const std::string in = write("stdin.txt", input);
        const fs::path out = dir_ / "stdout.txt", err = dir_ / "stderr.txt";
        const std::string command = std::string("'") + XK83T_REPLAY_TOOL + "' " + arguments + " <'" + in + "' >'" +
                                    out.string() + "' 2>'" + err.string() + "'";
        const int raw = std::system(command.c_str());
        ToolRun r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = read(out);
        r.err = read(err);
        return r;
    }

    fs::path dir_;
};

TEST_F(ReplayTool, WritesTheTraceWithTheConsoleLinesToStandardOutput)
{
    const ToolRun r = run("replay -",
                      "{\"do\":\"create\",\"data_id\":3}\n"
                      "{\"do\":\"file\",\"path\":\"ini/3.yaml\",\"text\":\"\"}\n"
                      "{\"do\":\"settings\",\"json\":{}}\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "{\"ev\":\"result\",\"do\":\"create\",\"value\":\"xk83t\"}\n"
              "{\"ev\":\"out\",\"text\":\"test ini/yaml:./ini/3.yaml\"}\n"
              "{\"ev\":\"out\",\"text\":\"parse ini/yaml filename:./ini/3.yaml\"}\n"
              "{\"ev\":\"out\",\"text\":\"before load\"}\n"
              "{\"ev\":\"out\",\"text\":\"after load\"}\n"
              "{\"ev\":\"out\",\"text\":\"before parse alarm\"}\n"
              "{\"ev\":\"out\",\"text\":\"after parse alarm\"}\n"
              "{\"ev\":\"out\",\"text\":\"AI 3\"}\n"
              "{\"ev\":\"modbus_init_setting\"}\n"
              "{\"ev\":\"result\",\"do\":\"settings\",\"value\":1}\n");
}

TEST_F(ReplayTool, RefusesAnInvalidScenarioBeforeRunningAnything)
{
    const std::string scenario = write("bad.jsonl", "{\"do\":\"create\",\"data_id\":3}\n\n{\"do\":\"pol\"}\n");
    const ToolRun r = run("replay '" + scenario + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(scenario + ":3: unknown step \"pol\""), std::string::npos) << r.err;
}

TEST_F(ReplayTool, StopsAtAStepItCannotCarryOut)
{
    const ToolRun r = run("replay -", "{\"do\":\"create\",\"data_id\":3}\n{\"do\":\"cycle\"}\n{\"do\":\"refresh\"}\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "{\"ev\":\"result\",\"do\":\"create\",\"value\":\"xk83t\"}\n");
    EXPECT_EQ(r.err, "<stdin>:2: no read is outstanding: \"cycle\" must follow a \"refresh\"\n");
}

TEST_F(ReplayTool, WorksInTheNamedDirectoryAndLeavesItsFiles)
{
    const fs::path work = dir_ / "work";
    const ToolRun r = run("replay --workdir '" + work.string() + "' -",
                      "{\"do\":\"file\",\"path\":\"ini/unicom/xk83t.ini\",\"text\":\"[AI]\\n\"}\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read(work / "ini/unicom/xk83t.ini"), "[AI]\n");
}

TEST_F(ReplayTool, ExplainsItsUsage)
{
    for (const char* arguments : {"", "replay", "replay a b", "check-rules --settings x.json", "frobnicate"}) {
        const ToolRun r = run(arguments);
        EXPECT_EQ(r.status, 2) << arguments;
        EXPECT_NE(r.err.find("usage:"), std::string::npos) << arguments;
    }
}

TEST_F(ReplayTool, CheckRulesReportsAFailedSettingsReader)
{
    const std::string settings = write("dev.json", R"({"appSetting":{"b_mode":1}})");
    write("work/ini/5.ini", "");
    const ToolRun r = run("check-rules --data-id 5 --settings '" + settings + "' --workdir '" + (dir_ / "work").string() + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "check-rules: the settings reader failed (rule file " + (dir_ / "work/ini/5.ini").string() +
                         "): No such node (AI)\n");
}

TEST_F(ReplayTool, CheckRulesNeedsReadableJsonSettings)
{
    const std::string broken = write("broken.json", "{\"appSetting\":");
    ToolRun r = run("check-rules --data-id 5 --settings '" + broken + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(broken + " is not JSON"), std::string::npos) << r.err;

    r = run("check-rules --data-id 5 --settings '" + (dir_ / "missing.json").string() + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot open"), std::string::npos) << r.err;
}

TEST_F(ReplayTool, CheckRulesFindsAMisspeltSignalName)
{
    const std::string settings = write("dev12.json", R"({"appSetting":{"b_mode":1}})");
    write("work/ini/12.yaml",
          "AI:\n"
          "  A路进线-电压: 0418101001,A路进线电压\n"
          "  A路进线电压: 0418101002,A路进线电压\n"
          "  B01电压: 04181,B01电压\n"
          "ALARM:\n"
          "  系统总告警状态: 0417001001\n");
    const std::string work = (dir_ / "work").string();
    const ToolRun r = run("check-rules --data-id 12 --settings '" + settings + "' --workdir '" + work + "'");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, work + "/ini/12.yaml: AI/A路进线电压: unknown data name \"A路进线电压\" (did you mean "
                            "\"A路进线-电压\"?)\n" +
                         work + "/ini/12.yaml: AI/B01电压: signal id \"04181\" is shorter than nine characters\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(ReplayTool, CheckRulesPassesCleanSettings)
{
    const std::string settings = write("dev5.json", R"({"appSetting":{"b_mode":5},"thresholdSetting":{
        "t":{"ID":"0406101","SignalName":"环境温度","UpValue":40,"UpReconverValue":38,"UpAlarmLevel":1},
        "h":{"ID":"0406102","SignalName":"环境湿度","LowValue":10,"LowReconverValue":15,"LowAlarmLevel":1}}})");
    const ToolRun r = run("check-rules --data-id 5 --settings '" + settings + "' --workdir '" + dir_.string() + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST_F(ReplayTool, NamesTheDocumentAReferenceRequestPointsAt)
{
    const ToolRun r = run("replay -",
                          "{\"do\":\"create\",\"data_id\":3}\n"
                          "{\"do\":\"control\",\"code\":803,\"out_cap\":16}\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("{\"ev\":\"result\",\"do\":\"control\",\"value\":0,\"out_len\":" +
                         std::to_string(sizeof(void*)) + ",\"ref\":\"json_\"}"),
              std::string::npos)
        << r.out;
}

}  // namespace
