// xk83t-host demo: the main job end to end. A simulated XK83T on a
// pseudo-terminal, polled through the loaded xk83t.so for a few cycles with
// the shipped example settings and rule files; a line voltage goes over its
// limit and back, so that an alarm is raised and cleared.

#include "commands.h"
#include "host_config.h"
#include "host_session.h"
#include "plugin_library.h"
#include "poll_loop.h"
#include "terminal.h"

#include <sim/register_map.h>
#include <sim/sim_server.h>

#include <boost/program_options.hpp>

#include <cstdlib>
#include <functional>
#include <iostream>
#include <thread>
#include <unistd.h>

namespace po = boost::program_options;

namespace xk83t_host {

namespace {

constexpr const char* kDemoSettings = "settings/xk83t-demo.json";
constexpr int kLineAVoltage = xk83t_sim::line_register(xk83t_sim::reg::kLineA, xk83t_sim::kLineVoltage);

// What happens to the plant before a cycle.
struct DemoStep {
    int cycle;
    const char* note;
    std::function<void(xk83t_sim::PlantModel&)> change;
};

const std::vector<DemoStep>& demo_script()
{
    static const std::vector<DemoStep> script{
        {2, "line A's voltage rises to 57.80 (the example settings' upper limit is 57)",
         [](xk83t_sim::PlantModel& plant) {
             plant.pin(kLineAVoltage, 0);
             plant.pin(kLineAVoltage + 1, 5780);
         }},
        {3, "switch and surge-protector alarms: line A's switch, line B's surge protector, feeders A07 and B12",
         [](xk83t_sim::PlantModel& plant) { plant.set_alarms(true); }},
        {4, "line A's voltage falls back to normal (below the recovery value 56) and the alarms end",
         [](xk83t_sim::PlantModel& plant) {
             plant.unpin(kLineAVoltage);
             plant.unpin(kLineAVoltage + 1);
             plant.set_alarms(false);
         }},
    };
    return script;
}

std::string examples_dir()
{
    // Installed: beside the program's folder. Built: the source tree's.
    std::vector<std::string> candidates{executable_dir() + "/../share/xk83t/examples"};
#ifdef XK83T_EXAMPLES_DIR
    candidates.push_back(XK83T_EXAMPLES_DIR);
#endif
    for (const std::string& dir : candidates)
        if (access((dir + "/" + kDemoSettings).c_str(), R_OK) == 0)
            return dir;
    throw std::runtime_error("the example settings (" + std::string(kDemoSettings) + ") are not where they belong");
}

// A folder for the demo's history, removed with everything in it.
class ScratchDir {
public:
    ScratchDir()
    {
        char pattern[] = "/tmp/xk83t-demo-XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("cannot make a scratch folder in /tmp");
        path_ = pattern;
    }
    ~ScratchDir()
    {
        unlink(history().c_str());
        rmdir(path_.c_str());
    }
    std::string history() const { return path_ + "/history.db"; }

private:
    std::string path_;
};

// The simulator on its own thread for as long as this lives.
class SimThread {
public:
    SimThread(xk83t_sim::SimServer& server) : server_(server), thread_([this] { server_.serve(stop_); }) {}
    ~SimThread()
    {
        stop_.store(true);
        thread_.join();
    }

private:
    xk83t_sim::SimServer& server_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct DemoArguments {
    int cycles = 4;
    int baud = 9600;
    std::string plugin;
};

}  // namespace

int run_demo(int argc, char** argv)
{
    DemoArguments a;
    po::options_description options("usage: xk83t-host demo [options]");
    options.add_options()
        ("cycles", po::value(&a.cycles)->default_value(a.cycles), "cycles to poll")
        ("baud", po::value(&a.baud)->default_value(a.baud), "the simulated line's speed")
        ("plugin", po::value(&a.plugin), "the plug-in to load (default: xk83t.so beside this program)")
        ("quiet", "hide the plug-in's console lines")
        ("help", "show this help");
    po::variables_map given;
    try {
        po::store(po::parse_command_line(argc, argv, options), given);
        po::notify(given);
        if (given.count("help")) {
            std::cout << options << std::endl;
            return 0;
        }
        if (a.cycles < 1 || a.baud < 1200)
            throw std::invalid_argument("--cycles must be at least 1 and --baud at least 1200");
    } catch (const std::exception& e) {
        std::cerr << "xk83t-host demo: " << e.what() << std::endl;
        return 2;
    }

    install_stop_handlers();
    Terminal terminal(false, given.count("quiet") == 0);
    std::ostream& out = terminal.out();
    try {
        const std::string examples = examples_dir();
        const std::string plugin = a.plugin.empty() ? PluginLibrary::find_default() : a.plugin;
        ScratchDir scratch;

        xk83t_sim::ServerSettings line;
        line.baud = a.baud;
        xk83t_sim::SimServer simulator(line, {});
        const std::string pty = simulator.open();
        SimThread running(simulator);

        SessionOptions session_options;
        session_options.plugin = plugin;
        session_options.history = scratch.history();
        DeviceConfig device;
        device.data_id = 1;
        device.link.kind = LinkSettings::Kind::Rtu;
        device.link.device = pty;
        device.link.baud = a.baud;
        device.settings = read_json_file(examples + "/" + kDemoSettings);
        session_options.devices.push_back(device);

        out << "xk83t-host demo\n"
            << "  simulated XK83T: RTU slave 1 on " << pty << ", " << a.baud << " baud\n"
            << "  plug-in:         " << (plugin.empty() ? "(none found)" : plugin) << "\n"
            << "  settings:        " << examples << "/" << kDemoSettings << " (alarm mode 5)\n"
            << "  rule files:      " << examples << "/ini/ (the working directory is " << examples << ")\n"
            << "  history:         " << scratch.history() << " (removed at the end)\n"
            << std::endl;

        // The plug-in looks for its rule files under ./ini/.
        if (chdir(examples.c_str()) != 0)
            throw std::runtime_error("cannot enter " + examples);
        HostSession session(session_options, out);
        session.start_devices();
        const auto& script = demo_script();
        LoopOptions loop;
        loop.cycles = a.cycles;
        poll_loop(session, terminal, loop, stop_requested, [&](int cycle) {
            for (const DemoStep& step : script)
                if (step.cycle == cycle) {
                    out << "\n>>> before cycle " << cycle << ": " << step.note << std::endl;
                    simulator.edit_model(step.change);
                }
        });
        out << '\n';
        print_summary(session, out);
        out << "simulator: " << simulator.requests() << " requests served" << std::endl;
    } catch (const std::exception& e) {
        std::cerr << "xk83t-host demo: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}

}  // namespace xk83t_host
