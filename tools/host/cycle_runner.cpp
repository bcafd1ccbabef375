#include "cycle_runner.h"

#include <host/host_services.h>

#include <exception>

namespace xk83t_host {

namespace {

Exchange perform(const PendingExchange& request, int unit, ModbusLink& link)
{
    switch (request.kind) {
    case PendingExchange::Kind::Read:
        return link.read_registers(unit, request.address, request.count);
    case PendingExchange::Kind::WriteOne:
        return link.write_register(unit, request.address, request.values.at(0));
    case PendingExchange::Kind::WriteMany:
        return link.write_registers(unit, request.address, request.values);
    }
    return {};
}

void carry_out(SPModbus& device, int unit, ModbusLink& link, ReferenceHost& host, const ProgressFn& progress,
               CycleOutcome& outcome)
{
    while (const auto request = host.next_exchange(device)) {
        if (progress)
            progress(outcome.exchanges + 1);
        const Exchange result = perform(*request, unit, link);
        ++outcome.exchanges;
        if (!result.ok) {
            // The device sends nothing more after a failure; anything it
            // queued before it is void too.
            host.drop_exchanges(device);
            outcome.failed_at = outcome.exchanges;
            outcome.error = result.error;
            deliver_error(device);
            return;
        }
        deliver_reply(device, result.words.data(), static_cast<unsigned>(result.words.size()));
    }
}

CycleOutcome guarded(SPModbus& device, ReferenceHost& host, bool refresh,
                     const std::function<void(CycleOutcome&)>& body)
{
    CycleOutcome outcome;
    const unsigned long published_before = host.latest(device).count;
    try {
        if (refresh) {
            host.drop_exchanges(device);
            device.RefreshStatus();
        }
        body(outcome);
    } catch (const std::exception& e) {
        host.drop_exchanges(device);
        outcome.failed_at = outcome.exchanges;
        outcome.error = std::string("the plug-in threw: ") + e.what();
    }
    outcome.completed = host.latest(device).count > published_before;
    return outcome;
}

}  // namespace

CycleOutcome run_cycle(SPModbus& device, int unit, ModbusLink& link, ReferenceHost& host, const ProgressFn& progress)
{
    return guarded(device, host, true,
                   [&](CycleOutcome& outcome) { carry_out(device, unit, link, host, progress, outcome); });
}

CycleOutcome run_exchanges(SPModbus& device, int unit, ModbusLink& link, ReferenceHost& host,
                           const ProgressFn& progress)
{
    return guarded(device, host, false,
                   [&](CycleOutcome& outcome) { carry_out(device, unit, link, host, progress, outcome); });
}

}  // namespace xk83t_host
