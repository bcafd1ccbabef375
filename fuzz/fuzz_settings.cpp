// The settings document and a rule file, both from the input, through
// InitSetting, then one cycle that evaluates whatever was loaded. The
// readers' own errors may leave InitSetting; nothing may leave the cycle.

#include "fuzz_input.h"
#include "quiet_host.h"

#include <device/xk83t.h>

#include <boost/property_tree/exceptions.hpp>
#include <json/reader.h>
#include <json/value.h>
#include <yaml-cpp/exceptions.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

std::filesystem::path workdir()
{
    static const std::filesystem::path dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "xk83t-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        std::filesystem::create_directories(std::filesystem::path(pattern) / "ini");
        std::filesystem::current_path(pattern);
        return std::filesystem::path(pattern);
    }();
    return dir;
}

const char* const kRuleFiles[] = {"ini/7.yaml", "ini/7.ini", "ini/xk83t.yaml", "ini/unicom/7.ini"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    xk83t_fuzz::quiet_process();
    workdir();
    xk83t_fuzz::FuzzInput in(data, size);
    const std::uint8_t form = in.take<std::uint8_t>() % 4;
    const std::uint8_t mode = in.take<std::uint8_t>();
    const std::string settings_text = in.take_text(in.take<std::uint16_t>() % 4096);
    const std::string rule_text = in.rest();

    for (const char* f : kRuleFiles)
        std::remove(f);
    std::ofstream(kRuleFiles[form], std::ios::binary) << rule_text;

    Json::Value settings;
    if (!Json::Reader().parse(settings_text, settings) || !settings.isObject())
        settings = Json::Value(Json::objectValue);
    if (!settings.isMember("appSetting"))
        settings["appSetting"]["b_mode"] = mode % 7;

    XK83T device;
    device.data_id_ = 7;
    try {
        device.InitSetting(settings);
    } catch (const Json::Exception&) {
    } catch (const YAML::Exception&) {
    } catch (const boost::property_tree::ptree_error&) {
    }
    device.LoadFromCache(std::string(sizeof(XK83T_Data_t), '\0'));
    device.LoadFromCache(std::string(sizeof(XK83T_Data_t), '\x7f'));
    return 0;
}
