// xk83t-host poll: polls a real device, a simulator, or the devices of a
// host configuration, until stopped or for --cycles N.

#include "commands.h"
#include "host_config.h"
#include "host_session.h"
#include "line_options.h"
#include "poll_loop.h"
#include "terminal.h"

#include <boost/program_options.hpp>

#include <iostream>

namespace po = boost::program_options;

namespace xk83t_host {

namespace {

struct PollArguments {
    LineOptionValues line;
    std::string config;
    unsigned data_id = 1;
    std::string settings;
    std::string plugin;
    std::string history;
    int cycles = 0;
    int interval_ms = 1000;
};

po::options_description poll_options(PollArguments& a)
{
    po::options_description device("Device (or --config)");
    device.add_options()
        ("config", po::value(&a.config), "host configuration file: devices, their settings, the host's tables")
        ("data-id", po::value(&a.data_id)->default_value(a.data_id), "the device's data id")
        ("settings", po::value(&a.settings), "the device's settings document (JSON)");
    po::options_description host("Host");
    host.add_options()
        ("plugin", po::value(&a.plugin), "the plug-in to load (default: xk83t.so beside this program)")
        ("history", po::value(&a.history), "SQLite file for the records devices save; restored from at start")
        ("cycles", po::value(&a.cycles)->default_value(a.cycles), "stop after this many cycles (0: until stopped)")
        ("interval-ms", po::value(&a.interval_ms)->default_value(a.interval_ms), "from one cycle's start to the next")
        ("json", "one display document per completed cycle on standard output, as JSON Lines")
        ("quiet", "hide the plug-in's console lines")
        ("help", "show this help");
    po::options_description all("usage: xk83t-host poll (--rtu PATH | --tcp HOST:PORT | --config FILE) [options]");
    all.add(device).add(line_options(a.line)).add(host);
    return all;
}

SessionOptions session_options(const PollArguments& a, const po::variables_map& given)
{
    SessionOptions options;
    options.plugin = a.plugin;
    options.history = a.history;
    auto device = command_line_device(a.line, given);
    if (!a.config.empty()) {
        if (device || given.count("settings") || !given["data-id"].defaulted())
            throw std::invalid_argument("--config names the devices; do not add --rtu, --tcp, --data-id or --settings");
        HostConfig config = load_host_config(a.config, line_timing(a.line));
        options.devices = std::move(config.devices);
        if (options.plugin.empty())
            options.plugin = config.plugin;
        if (options.history.empty())
            options.history = config.history;
        return options;
    }
    if (!device)
        throw std::invalid_argument("give --rtu PATH, --tcp HOST:PORT or --config FILE");
    device->data_id = a.data_id;
    if (!a.settings.empty())
        device->settings = read_json_file(a.settings);
    options.devices.push_back(std::move(*device));
    return options;
}

}  // namespace

int run_poll(int argc, char** argv)
{
    PollArguments a;
    const po::options_description options = poll_options(a);
    po::variables_map given;
    SessionOptions session_opts;
    LoopOptions loop;
    try {
        po::store(po::parse_command_line(argc, argv, options), given);
        po::notify(given);
        if (given.count("help")) {
            std::cout << options << std::endl;
            return 0;
        }
        if (a.cycles < 0 || a.interval_ms < 0)
            throw std::invalid_argument("--cycles and --interval-ms cannot be negative");
        session_opts = session_options(a, given);
        loop.cycles = a.cycles;
        loop.interval = std::chrono::milliseconds(a.interval_ms);
    } catch (const std::exception& e) {
        std::cerr << "xk83t-host poll: " << e.what() << "\n(xk83t-host poll --help lists the options)" << std::endl;
        return 2;
    }

    install_stop_handlers();
    Terminal terminal(given.count("json") > 0, given.count("quiet") == 0);
    try {
        HostSession session(session_opts, terminal.notes());
        session.start_devices();
        poll_loop(session, terminal, loop, stop_requested);
        print_summary(session, terminal.notes());
    } catch (const std::exception& e) {
        std::cerr << "xk83t-host: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}

}  // namespace xk83t_host
