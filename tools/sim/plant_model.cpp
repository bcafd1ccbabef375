#include "plant_model.h"

#include <cmath>
#include <cstdint>

namespace xk83t_sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFeederRatedAmps = 16.0;
constexpr double kLineRatedAmps = 400.0;

std::uint32_t scaled(double value, double factor)
{
    const double raw = std::round(value * factor);
    return raw <= 0 ? 0u : static_cast<std::uint32_t>(raw);
}

std::uint32_t scaled_signed(double value, double factor)
{
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(value * factor)));
}

double wave(double t, double period, double phase)
{
    return std::sin(2 * kPi * t / period + phase);
}

}  // namespace

PlantModel::PlantModel()
{
    for (int side = 0; side < 2; ++side)
        for (int n = 1; n <= kFeedersPerSide; ++n)
            feeder_energy_kwh_[side][n - 1] = 800.0 + 137.5 * n + 61.0 * side;
}

double PlantModel::line_volts(int side) const
{
    return 53.5 + 0.15 * wave(elapsed_, 97.0, 1.3 * side) - 0.02 * side;
}

PlantModel::Feeder PlantModel::feeder(int side, int number) const
{
    if (number > kFittedFeeders[side])
        return {0, 0};
    const double base = 1.5 + ((number * 37 + side * 11) % 60) / 10.0;
    const double amps = base * (1.0 + 0.05 * wave(elapsed_, 61.0, number));
    return {line_volts(side) - 0.02 * amps, amps};
}

void PlantModel::advance(double seconds)
{
    if (seconds <= 0)
        return;
    for (int side = 0; side < 2; ++side) {
        double line_kw = 0;
        for (int n = 1; n <= kFeedersPerSide; ++n) {
            const Feeder f = feeder(side, n);
            const double kw = f.volts * f.amps / 1000.0;
            feeder_energy_kwh_[side][n - 1] += kw * seconds / 3600.0;
            line_kw += kw;
        }
        line_energy_kwh_[side] += line_kw * seconds / 3600.0;
    }
    elapsed_ += seconds;
}

void PlantModel::write(RegisterImage& image) const
{
    image.put(reg::kHwCode, 0x0831);
    image.put(reg::kSwVersion, 0x0105);
    image.put(reg::kSerial1, 0x2024);
    image.put(reg::kSerial2, 0x0607);

    for (int side = 0; side < 2; ++side) {
        double line_amps = 0;
        for (int n = 1; n <= kFeedersPerSide; ++n) {
            const Feeder f = feeder(side, n);
            const bool fitted = n <= kFittedFeeders[side];
            line_amps += f.amps;
            image.put_pair(feeder_register(side, n, kFeederVoltage), scaled(f.volts, 100));
            image.put_pair(feeder_register(side, n, kFeederCurrent), scaled(f.amps, 100));
            const double megohms = fitted ? 300.0 + (n * 7919 % 50000) / 100.0 + 40.0 * side : 0.0;
            image.put_pair(feeder_register(side, n, kFeederInsulation), scaled_signed(megohms, 100));
            image.put_pair(feeder_register(side, n, kFeederPower), scaled_signed(f.volts * f.amps / 1000.0, 1000));
            image.put_pair(feeder_register(side, n, kFeederEnergy), scaled(feeder_energy_kwh_[side][n - 1], 10));
            image.put_pair(feeder_register(side, n, kFeederLoad), scaled(100.0 * f.amps / kFeederRatedAmps, 100));
            image.put(switch_register(side, n), fitted ? 0 : 2);
        }
        const int block = side == 0 ? reg::kLineA : reg::kLineB;
        const double volts = line_volts(side);
        image.put_pair(line_register(block, kLineVoltage), scaled(volts, 100));
        image.put_pair(line_register(block, kLineCurrent), scaled(line_amps, 100));
        image.put_pair(line_register(block, kLinePower), scaled_signed(volts * line_amps / 1000.0, 1000));
        image.put_pair(line_register(block, kLineEnergy), scaled(line_energy_kwh_[side], 10));
        image.put_pair(line_register(block, kLinePosIns), scaled(420.0 - 3.0 * side, 100));
        image.put_pair(line_register(block, kLineNegIns), scaled(415.5 - 2.5 * side, 100));
        image.put_pair(line_register(block, kLineLoad), scaled(100.0 * line_amps / kLineRatedAmps, 100));
    }

    image.put(reg::kSysAlarm, alarms_ ? 1 : 0);
    image.put(reg::kLineASwitch, alarms_ ? 1 : 0);
    image.put(reg::kLineASpd, 0);
    image.put(reg::kLineBSwitch, 0);
    image.put(reg::kLineBSpd, alarms_ ? 1 : 0);
    if (alarms_) {
        image.put(switch_register(0, 7), 1);
        image.put(switch_register(1, 12), 1);
    }

    image.put(reg::kTemperature, static_cast<std::uint16_t>(scaled(25.3 + 0.6 * wave(elapsed_, 300.0, 0), 10)));
    image.put(reg::kHumidity, static_cast<std::uint16_t>(scaled(45.0 + 2.0 * wave(elapsed_, 420.0, 2.0), 10)));

    for (const auto& [r, value] : pinned_)
        image.put(r, value);
}

}  // namespace xk83t_sim
