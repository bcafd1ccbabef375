// The steady-state rebuild of the display document against its floor: the
// same number of values of the same types assigned in place through
// pointers found beforehand, with nothing read, converted or looked up.

#include "allocation_counter.h"
#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <boost/date_time/posix_time/posix_time.hpp>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace xk83t_bench {
namespace {

// A device whose document has had its first build; cycles of mode 0 do not
// build it, so only the measured calls do.
void build_once(XK83T& device)
{
    device.b_mode_ = 0;
    run_cycle(device, plant_replies(0));
    device.GenJsonData();
}

void gen_json_data_rebuild(benchmark::State& state)
{
    BenchProcess process;
    QuietCout quiet;
    XK83T device;
    build_once(device);

    // A cycle stamps the record with its time: an hour of stamps, so the
    // update-time text changes and varies in length as it does in service.
    std::vector<TTime> stamps;
    boost::posix_time::ptime t = device.last_update_;
    for (int i = 0; i < 3600; ++i) {
        t += boost::posix_time::seconds(1);
        stamps.push_back(get_ttime(t));
    }

    std::size_t next = 0;
    const auto rebuild = [&] {
        device.last_update_ += boost::posix_time::seconds(1);
        std::memcpy(&device.data_.update_time, &stamps[next], sizeof(TTime));
        next = next + 1 == stamps.size() ? 0 : next + 1;
        device.GenJsonData();
    };
    // Past 07:10:00, so the update time has shown every length it takes.
    for (int i = 0; i < 400; ++i)
        rebuild();

    const std::uint64_t before = allocations();
    for (auto _ : state)
        rebuild();
    report_allocations(state, allocations() - before);
}

void limit_assign_699(benchmark::State& state)
{
    BenchProcess process;
    QuietCout quiet;
    XK83T device;
    build_once(device);
    Json::Value& document = device.json_;

    // Reals get a double; texts are swapped with texts made beforehand (the
    // only way to give a member a text without allocating); the one object
    // gets its boolean.
    std::vector<Json::Value*> reals;
    std::vector<double> real_values;
    std::vector<Json::Value*> texts;
    std::vector<Json::Value> text_values;
    Json::Value* flag = nullptr;
    for (auto it = document.begin(); it != document.end(); ++it) {
        Json::Value& member = *it;
        if (member.isDouble()) {
            reals.push_back(&member);
            real_values.push_back(member.asDouble() + 0.25);
        } else if (member.isString()) {
            texts.push_back(&member);
            text_values.push_back(member);
        } else if (member.isObject()) {
            flag = &member["系统总告警状态"];
        }
    }
    if (flag == nullptr || reals.size() + texts.size() + 1 != 699)
        throw std::logic_error("the document does not have the shape this floor assumes");

    bool flag_value = false;
    const std::uint64_t before = allocations();
    for (auto _ : state) {
        for (std::size_t i = 0; i < reals.size(); ++i)
            *reals[i] = real_values[i];
        for (std::size_t i = 0; i < texts.size(); ++i)
            texts[i]->swap(text_values[i]);
        *flag = flag_value;
        flag_value = !flag_value;
        benchmark::ClobberMemory();
    }
    report_allocations(state, allocations() - before);
}

BENCHMARK(gen_json_data_rebuild)->Name("BM_GenJsonData_Rebuild")->Unit(benchmark::kMicrosecond);
BENCHMARK(limit_assign_699)->Name("BM_Limit_Assign699")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace xk83t_bench
