#pragma once

// A 48 V DC plant behind an XK83T: two incoming lines near 53.5 V feeding 48
// feeders each, energies that only grow, insulation resistances, ambient
// temperature and humidity. Values drift slowly with time; registers pinned
// by the user keep the value given.

#include "register_map.h"

#include <map>

namespace xk83t_sim {

class PlantModel {
public:
    static constexpr int kFeedersPerSide = 48;
    // Feeders fitted on each side; the rest report "not enabled".
    static constexpr int kFittedFeeders[2] = {40, 38};

    PlantModel();

    // Moves the plant on by this many seconds: currents and voltages drift,
    // energies integrate the power drawn.
    void advance(double seconds);
    void write(RegisterImage& image) const;

    void pin(int reg, std::uint16_t value) { pinned_[reg] = value; }
    void unpin(int reg) { pinned_.erase(reg); }
    // Switch and surge-protector alarms: the system total alarm, line A's
    // switch, line B's surge protector, and feeder switches A07 and B12.
    void set_alarms(bool on) { alarms_ = on; }

private:
    struct Feeder {
        double volts;
        double amps;
    };
    Feeder feeder(int side, int number) const;
    double line_volts(int side) const;

    double elapsed_ = 0;
    double line_energy_kwh_[2] = {250000.0, 198000.0};
    double feeder_energy_kwh_[2][kFeedersPerSide] = {};
    bool alarms_ = false;
    std::map<int, std::uint16_t> pinned_;
};

}  // namespace xk83t_sim
