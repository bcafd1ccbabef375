// xk83t-sim: a simulated XK83T on a pseudo-terminal or on TCP, with faults
// on demand, for commissioning hosts and for the end-to-end tests.

#include "register_map.h"
#include "sim_server.h"

#include <common/arguments.h>

#include <boost/program_options.hpp>

#include <atomic>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

namespace po = boost::program_options;
using namespace xk83t_sim;

namespace {

std::atomic<bool> stop_requested{false};

void on_signal(int)
{
    stop_requested.store(true);
}

struct Parsed {
    ServerSettings server;
    FaultSettings faults;
    std::vector<std::string> sets;
    bool alarm = false;
};

po::options_description describe(Parsed& p, std::string& tcp, std::string& parity)
{
    po::options_description line("Line");
    line.add_options()
        ("rtu", "serve RTU on a new pseudo-terminal; its path is printed")
        ("link", po::value(&p.server.link_path), "also make this path a symbolic link to the pseudo-terminal")
        ("tcp", po::value(&tcp), "serve Modbus TCP on ADDRESS:PORT (port 0: any free port)")
        ("slave", po::value(&p.server.unit)->default_value(1), "RTU slave id")
        ("unit", po::value(&p.server.unit), "TCP unit id (same as --slave)")
        ("baud", po::value(&p.server.baud)->default_value(9600), "RTU line speed, also the simulated timing")
        ("parity", po::value(&parity)->default_value("N"), "RTU parity: N, E or O")
        ("stop", po::value(&p.server.stop_bits)->default_value(1), "RTU stop bits: 1 or 2")
        ("no-line-time", "on RTU, answer at once instead of at the line speed");
    po::options_description values("Values");
    values.add_options()
        ("set", po::value(&p.sets)->composing(), "REG=VALUE: hold a register at a value (repeatable)")
        ("alarm", "raise switch and surge-protector alarms")
        ("frozen", "values never change")
        ("pattern", "test pattern instead of plant values: every reply differs from the one before");
    po::options_description faults("Faults (request numbers count from 1)");
    faults.add_options()
        ("drop-every", po::value(&p.faults.drop_every), "no reply to every Nth request")
        ("corrupt-every", po::value(&p.faults.corrupt_every), "a damaged reply to every Nth request")
        ("delay-ms", po::value(&p.faults.delay_ms), "answer this many ms late ...")
        ("delay-every", po::value(&p.faults.delay_every)->default_value(1), "... every Nth request")
        ("stall-after", po::value(&p.faults.stall_after), "after N requests answer nothing ...")
        ("stall-ms", po::value(&p.faults.stall_ms), "... for this many ms (default: for good)");
    po::options_description other("Other");
    other.add_options()
        ("log", po::value(&p.server.log_path), "write one JSON line per request to this file")
        ("verbose", "one line per request on standard error")
        ("help", "show this help");
    po::options_description all("xk83t-sim: a simulated XK83T Modbus slave\n\n"
                                "usage: xk83t-sim --rtu [options] | --tcp 127.0.0.1:PORT [options]");
    all.add(line).add(values).add(faults).add(other);
    return all;
}

void check_settings(const Parsed& p)
{
    if (p.server.unit < 1 || p.server.unit > 247)
        throw std::invalid_argument("the slave id must be from 1 to 247");
    if (p.server.stop_bits != 1 && p.server.stop_bits != 2)
        throw std::invalid_argument("stop bits must be 1 or 2");
    if (p.server.baud <= 0)
        throw std::invalid_argument("the baud rate must be positive");
    for (int n : {p.faults.drop_every, p.faults.corrupt_every, p.faults.delay_ms, p.faults.stall_after, p.faults.stall_ms})
        if (n < 0)
            throw std::invalid_argument("fault counts and times cannot be negative");
    if (p.faults.delay_every < 1)
        throw std::invalid_argument("--delay-every must be at least 1");
}

}  // namespace

int main(int argc, char** argv)
{
    Parsed p;
    std::string tcp;
    std::string parity;
    const po::options_description options = describe(p, tcp, parity);
    PlantModel model;
    try {
        po::variables_map vm;
        po::store(po::parse_command_line(argc, argv, options), vm);
        po::notify(vm);
        if (vm.count("help")) {
            std::cout << options << std::endl;
            return 0;
        }
        if (vm.count("rtu") == vm.count("tcp"))
            throw std::invalid_argument("give exactly one of --rtu and --tcp");
        if (vm.count("tcp")) {
            const auto where = xk83t_tools::parse_host_port(tcp);
            p.server.transport = ServerSettings::Transport::Tcp;
            p.server.tcp_address = where.host;
            p.server.tcp_port = where.port;
        }
        p.server.parity = xk83t_tools::parse_parity(parity);
        p.server.line_time = vm.count("no-line-time") == 0;
        p.server.frozen = vm.count("frozen") > 0;
        p.server.pattern = vm.count("pattern") > 0;
        p.server.verbose = vm.count("verbose") > 0;
        check_settings(p);
        model.set_alarms(vm.count("alarm") > 0);
        for (const std::string& text : p.sets) {
            const auto [reg, value] = xk83t_tools::parse_register_assignment(text);
            if (!in_map(reg))
                throw std::invalid_argument("register " + std::to_string(reg) + " is not in the device's map");
            model.pin(reg, value);
        }
    } catch (const std::exception& e) {
        std::cerr << "xk83t-sim: " << e.what() << "\n(xk83t-sim --help lists the options)" << std::endl;
        return 2;
    }

    std::signal(SIGINT, on_signal);
    std::signal(SIGTERM, on_signal);
    std::signal(SIGPIPE, SIG_IGN);
    try {
        SimServer server(p.server, p.faults, model);
        const std::string endpoint = server.open();
        const bool rtu = p.server.transport == ServerSettings::Transport::Rtu;
        std::cout << "xk83t-sim: " << (rtu ? "RTU slave " : "TCP unit ") << p.server.unit << " on " << endpoint
                  << std::endl;
        server.serve(stop_requested);
        std::cerr << "xk83t-sim: stopped after " << server.requests() << " requests" << std::endl;
    } catch (const std::exception& e) {
        std::cerr << "xk83t-sim: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}
