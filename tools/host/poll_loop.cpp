#include "poll_loop.h"

#include "display_table.h"

#include <json/reader.h>

#include <sstream>
#include <thread>

namespace xk83t_host {

namespace {

std::string cycle_heading(int cycle, const HostedDevice& device, const CycleOutcome& outcome)
{
    std::ostringstream text;
    text << "=== cycle " << cycle << "  device " << device.data_id() << "  ";
    if (outcome.completed)
        text << outcome.exchanges << " blocks read, record published";
    else if (outcome.failed_at > 0)
        text << "failed at block " << outcome.failed_at << " of " << device.exchanges_per_cycle << ": "
             << outcome.error << "; nothing published";
    else
        text << "no record published";
    return text.str();
}

Json::Value parse_document(const std::string& text)
{
    Json::CharReaderBuilder builder;
    std::istringstream in(text);
    Json::Value root;
    std::string errors;
    if (!Json::parseFromStream(builder, in, &root, &errors))
        return Json::Value();
    return root;
}

std::string one_line(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

void show_text(Terminal& terminal, HostSession& session, HostedDevice& device, int cycle,
               const CycleOutcome& outcome, const std::vector<AlarmEvent>& events)
{
    std::ostream& out = terminal.out();
    out << '\n' << cycle_heading(cycle, device, outcome) << '\n';
    if (outcome.completed) {
        const auto text = session.document(device);
        if (text)
            render_document(parse_document(*text), device.data_id(), out);
        else
            out << "(the plug-in gives no display document)\n";
    }
    if (!events.empty()) {
        out << "alarm events:\n";
        for (const AlarmEvent& e : events)
            out << "  " << e.line() << '\n';
    }
    out << std::flush;
}

void show_json(Terminal& terminal, HostSession& session, HostedDevice& device, int cycle,
               const CycleOutcome& outcome, const std::vector<AlarmEvent>& events)
{
    if (outcome.completed) {
        const auto text = session.document(device);
        terminal.out() << (text ? one_line(*text) : std::string("null")) << '\n' << std::flush;
    } else {
        std::cerr << cycle_heading(cycle, device, outcome) << std::endl;
    }
    for (const AlarmEvent& e : events)
        std::cerr << e.line() << '\n';
    std::cerr << std::flush;
}

void sleep_interruptible(std::chrono::milliseconds how_long, const std::atomic<bool>& stop)
{
    const auto until = std::chrono::steady_clock::now() + how_long;
    while (!stop.load() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            std::chrono::milliseconds(50), until - std::chrono::steady_clock::now()));
}

}  // namespace

void poll_loop(HostSession& session, Terminal& terminal, const LoopOptions& options, const std::atomic<bool>& stop,
               const std::function<void(int)>& before_cycle)
{
    for (int cycle = 1; !stop.load() && (options.cycles <= 0 || cycle <= options.cycles); ++cycle) {
        if (cycle > 1)
            sleep_interruptible(options.interval, stop);
        if (stop.load())
            break;
        if (before_cycle)
            before_cycle(cycle);
        for (auto& device : session.devices()) {
            ProgressLine& progress = terminal.progress();
            progress.start();
            const int expected = device->exchanges_per_cycle;
            const CycleOutcome outcome =
                session.poll(*device, [&](int block) { progress.update(block, std::max(block, expected)); });
            progress.clear();
            const std::vector<AlarmEvent> events = session.alarms().take_events();
            for (const std::string& problem : session.services().take_problems())
                terminal.notes() << "host: " << problem << std::endl;
            if (terminal.json())
                show_json(terminal, session, *device, cycle, outcome, events);
            else
                show_text(terminal, session, *device, cycle, outcome, events);
        }
    }
}

void print_summary(HostSession& session, std::ostream& out)
{
    for (const auto& device : session.devices())
        out << "device " << device->data_id() << ": " << device->cycles << " cycles, " << device->completed
            << " records published, " << session.services().saved(*device->device) << " saved, " << device->failed
            << " failed" << std::endl;
}

}  // namespace xk83t_host
