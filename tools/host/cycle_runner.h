#pragma once

// One polling cycle of one device: RefreshStatus, then every exchange the
// device asks for carried out on its line, each good reply delivered
// through process_payload and a failure through on_error, which ends the
// cycle. Control writes the device queued go the same way.

#include "modbus_link.h"
#include "reference_host.h"

#include <host/spmodbus.h>

#include <functional>
#include <string>

namespace xk83t_host {

struct CycleOutcome {
    bool completed = false;  // the device published a record in this cycle
    int exchanges = 0;       // exchanges carried out, the failed one included
    int failed_at = 0;       // number of the exchange that failed; 0: none
    std::string error;
};

// Called before each exchange with its number (from 1).
using ProgressFn = std::function<void(int exchange)>;

CycleOutcome run_cycle(SPModbus& device, int unit, ModbusLink& link, ReferenceHost& host,
                       const ProgressFn& progress = {});

// Carries out what the device has queued (a control write, say) outside a
// cycle.
CycleOutcome run_exchanges(SPModbus& device, int unit, ModbusLink& link, ReferenceHost& host,
                           const ProgressFn& progress = {});

}  // namespace xk83t_host
