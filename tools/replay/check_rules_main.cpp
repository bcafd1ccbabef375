#include "replay.h"

#include "console_capture.h"
#include "display_vocabulary.h"
#include "rule_checks.h"
#include "workdir.h"

#include <config/alarm_mode.h>
#include <config/rule_file.h>
#include <device/xk83t.h>
#include <host/host_services.h>
#include <plugin/get_providers.h>

#include <json/reader.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace xk83t_replay;

struct Arguments {
    unsigned int data_id = 0;
    std::string settings_file;
    std::string workdir;  // empty: the current directory
};

int usage()
{
    std::cerr << "usage: check-rules --data-id N --settings FILE [--workdir DIR]" << std::endl;
    return 2;
}

std::optional<unsigned int> parse_data_id(const std::string& text)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 10)
        return std::nullopt;
    const unsigned long long n = std::stoull(text);
    if (n > std::numeric_limits<unsigned int>::max())
        return std::nullopt;
    return static_cast<unsigned int>(n);
}

std::optional<Arguments> parse_arguments(int argc, char** argv)
{
    Arguments args;
    bool have_id = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            return std::nullopt;
        const std::string value = argv[++i];
        if (arg == "--data-id") {
            const auto id = parse_data_id(value);
            if (!id)
                return std::nullopt;
            args.data_id = *id;
            have_id = true;
        } else if (arg == "--settings") {
            args.settings_file = value;
        } else if (arg == "--workdir") {
            args.workdir = value;
        } else {
            return std::nullopt;
        }
    }
    if (!have_id || args.settings_file.empty())
        return std::nullopt;
    return args;
}

std::optional<Json::Value> read_settings(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::cerr << "check-rules: cannot open " << path << std::endl;
        return std::nullopt;
    }
    Json::Value settings;
    std::string errors;
    if (!Json::parseFromStream(Json::CharReaderBuilder(), file, &settings, &errors)) {
        std::cerr << "check-rules: " << path << " is not JSON: " << errors;
        return std::nullopt;
    }
    return settings;
}

// The rules the device holds once its settings were read.
LoadedRules loaded_rules(const XK83T& device, const std::string& rule_file)
{
    LoadedRules rules;
    rules.mode = device.b_mode_;
    rules.rule_file = rule_file;
    rules.ai_rules = device.ai_rule_map_;
    rules.alarm_rules = device.alarm_rule_map_;
    rules.alarm_info = device.alarm_info_map_;
    rules.up = device.up_threshold_map_;
    rules.up2 = device.up2_threshold_map_;
    rules.low = device.low_threshold_map_;
    rules.low2 = device.low2_threshold_map_;
    return rules;
}

std::string shown_path(const std::string& workdir, const std::string& path)
{
    if (workdir.empty() || path.empty())
        return path;
    return (fs::path(workdir) / path).lexically_normal().string();
}

int check_rules(const Arguments& args, const Json::Value& settings, std::ostream& report)
{
    // The plug-in's console lines are not part of this report.
    ConsoleCapture quiet([](const std::string&) {});
    HostServices no_host;
    HostServices* const previous_host = set_host_services(&no_host);
    struct Restore {
        HostServices* host;
        ~Restore() { set_host_services(host); }
    } restore{previous_host};

    const auto providers = get_providers();
    auto* provider = providers.empty() ? nullptr : dynamic_cast<SMDSPDeviceProvider*>(providers.front().get());
    std::unique_ptr<SMDVDevice> created(provider ? provider->create() : nullptr);
    auto* device = dynamic_cast<XK83T*>(created.get());
    if (device == nullptr) {
        std::cerr << "check-rules: the plug-in offers no XK83T device" << std::endl;
        return 2;
    }
    device->data_id_ = args.data_id;

    std::string failure;
    try {
        device->InitSetting(settings);
    } catch (const std::exception& e) {
        failure = e.what();
    } catch (...) {
        failure = "an exception that is not a std::exception";
    }
    const xk83t::RuleFileQuery query{device->DataId(), device->DeviceType(), xk83t::operator_name(device->b_mode_)};
    const std::string rule_file = shown_path(args.workdir, xk83t::find_rule_file(query));
    if (!failure.empty()) {
        std::cerr << "check-rules: the settings reader failed";
        if (!rule_file.empty())
            std::cerr << " (rule file " << rule_file << ")";
        std::cerr << ": " << failure << std::endl;
        return 2;
    }

    std::string why;
    const auto vocabulary = display_vocabulary(why);
    if (!vocabulary) {
        std::cerr << "check-rules: cannot learn the display document's names: " << why << std::endl;
        return 2;
    }

    const auto findings = check_loaded_rules(loaded_rules(*device, rule_file), *vocabulary, settings, args.settings_file);
    for (const auto& f : findings)
        report << f.file << ": " << f.key << ": " << f.message << "\n";
    report.flush();
    return findings.empty() ? 0 : 1;
}

}  // namespace

int check_rules_main(int argc, char** argv)
{
    const auto args = parse_arguments(argc, argv);
    if (!args)
        return usage();
    const auto settings = read_settings(args->settings_file);
    if (!settings)
        return 2;
    if (!args->workdir.empty() && !fs::is_directory(args->workdir)) {
        std::cerr << "check-rules: " << args->workdir << " is not a directory" << std::endl;
        return 2;
    }
    std::unique_ptr<WorkdirSession> workdir;
    try {
        if (!args->workdir.empty())
            workdir = std::make_unique<WorkdirSession>(args->workdir);
    } catch (const std::exception& e) {
        std::cerr << "check-rules: cannot work in " << args->workdir << ": " << e.what() << std::endl;
        return 2;
    }
    // The plug-in's console is captured while it runs; findings go to
    // standard output through a stream of their own.
    std::ostream report(std::cout.rdbuf());
    return check_rules(*args, *settings, report);
}
