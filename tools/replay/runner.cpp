#include "runner.h"

#include "console_capture.h"
#include "hex.h"
#include "local_time_text.h"
#include "scenario.h"
#include "scenario_clock.h"
#include "trace.h"
#include "tracing_host.h"
#include "workdir.h"

#include <device/xk83t.h>
#include <plugin/get_providers.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>

namespace xk83t_replay {
namespace {

namespace fs = std::filesystem;

const char* const kStartTime = "2024-01-01 00:00:00";
// A cycle that has not finished after this many replies never will.
constexpr int kMostRepliesPerCycle = 10000;
constexpr int kDocumentAsText = 801;
constexpr int kDocumentByReference = 803;

using ResultFields = std::vector<TraceField>;

Json::Value number(long long n)
{
    return Json::Value(static_cast<Json::Int64>(n));
}

class ScenarioRun {
public:
    explicit ScenarioRun(TraceWriter& trace)
        : trace_(trace),
          capture_([this](const std::string& line) { trace_.event("out", {{"text", line}}); }),
          host_(trace),
          clock_(*local_time_from_text(kStartTime))
    {
    }

    ~ScenarioRun()
    {
        delete device_;
        capture_.finish();
    }

    void run(const Step& step)
    {
        using Handler = void (ScenarioRun::*)(const Step&);
        static const std::map<std::string, Handler> handlers = {
            {"create", &ScenarioRun::create},         {"clock", &ScenarioRun::set_clock},
            {"advance", &ScenarioRun::advance},       {"file", &ScenarioRun::write_file},
            {"remove", &ScenarioRun::remove_file},    {"settings", &ScenarioRun::settings},
            {"refresh", &ScenarioRun::refresh},       {"reply", &ScenarioRun::reply},
            {"error", &ScenarioRun::error},           {"cycle", &ScenarioRun::cycle},
            {"poll", &ScenarioRun::poll},             {"control", &ScenarioRun::control},
            {"load_cache", &ScenarioRun::load_cache}, {"get_value", &ScenarioRun::get_value},
            {"host", &ScenarioRun::host},             {"destroy", &ScenarioRun::destroy},
        };
        (this->*handlers.at(step.action))(step);
    }

    void finish() { capture_.finish(); }

private:
    // Runs one call into the plug-in and traces its result, or the exception
    // it threw; the run goes on either way.
    void call_plugin(const Step& step, const std::function<ResultFields()>& call)
    {
        try {
            ResultFields fields = call();
            fields.insert(fields.begin(), {"do", step.action});
            capture_.finish();
            trace_.event("result", fields);
        } catch (const ScenarioError&) {
            throw;
        } catch (const std::exception& e) {
            capture_.finish();
            trace_.event("exception", {{"do", step.action}, {"what", e.what()}});
        } catch (...) {
            capture_.finish();
            trace_.event("exception", {{"do", step.action}, {"what", "an exception that is not a std::exception"}});
        }
    }

    SMDVDevice& device(const Step& step)
    {
        if (device_ == nullptr)
            throw ScenarioError(step.line, "step \"" + step.action + "\" needs a device: create one first");
        return *device_;
    }

    SPModbus& modbus(const Step& step)
    {
        auto* m = dynamic_cast<SPModbus*>(&device(step));
        if (m == nullptr)
            throw ScenarioError(step.line, "the device is not a Modbus device");
        return *m;
    }

    void create(const Step& step)
    {
        delete device_;
        device_ = nullptr;
        call_plugin(step, [&] {
            providers_ = get_providers();
            auto* provider = providers_.empty() ? nullptr : dynamic_cast<SMDSPDeviceProvider*>(providers_.front().get());
            if (provider == nullptr)
                throw ScenarioError(step.line, "the plug-in offers no device provider");
            device_ = provider->create();
            device_->data_id_ = static_cast<unsigned int>(step.fields["data_id"].asUInt64());
            return ResultFields{{"value", device_->DeviceType()}};
        });
    }

    void destroy(const Step& step)
    {
        SMDVDevice& d = device(step);
        device_ = nullptr;
        call_plugin(step, [&] {
            delete &d;
            return ResultFields{{"value", Json::Value()}};
        });
    }

    void set_clock(const Step& step) { clock_.set(*local_time_from_text(step.fields["local"].asString())); }

    void advance(const Step& step) { clock_.advance(step.fields["seconds"].asInt64()); }

    void write_file(const Step& step)
    {
        const fs::path path = step.fields["path"].asString();
        std::error_code failed;
        if (path.has_parent_path())
            fs::create_directories(path.parent_path(), failed);
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        const std::string text = step.fields["text"].asString();
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
        if (failed || !file.flush())
            throw ScenarioError(step.line, "cannot write " + path.string());
    }

    void remove_file(const Step& step)
    {
        const std::string path = step.fields["path"].asString();
        std::error_code failed;
        if (!fs::remove(path, failed))
            throw ScenarioError(step.line, "cannot remove " + path + (failed ? ": " + failed.message() : ": no such file"));
    }

    void settings(const Step& step)
    {
        SMDVDevice& d = device(step);
        call_plugin(step, [&] { return ResultFields{{"value", number(d.InitSetting(step.fields["json"]))}}; });
    }

    void refresh(const Step& step)
    {
        SPModbus& m = modbus(step);
        call_plugin(step, [&] { return ResultFields{{"value", number(m.RefreshStatus())}}; });
    }

    void reply(const Step& step)
    {
        SPModbus& m = modbus(step);
        std::vector<unsigned short> words;
        for (const auto& w : step.fields["words"])
            words.push_back(static_cast<unsigned short>(w.asUInt()));
        host_.outstanding.reset();
        call_plugin(step, [&] {
            return ResultFields{{"value", number(deliver_reply(m, words.data(), static_cast<unsigned>(words.size())))}};
        });
    }

    void error(const Step& step)
    {
        SPModbus& m = modbus(step);
        host_.outstanding.reset();
        call_plugin(step, [&] { return ResultFields{{"value", number(deliver_error(m))}}; });
    }

    // Answers the outstanding read and every following one from the image
    // until the device says the sequence is finished.
    int answer_reads(const Step& step, SPModbus& m, const std::map<int, unsigned short>& image)
    {
        if (!host_.outstanding || host_.outstanding->kind != Exchange::Read)
            throw ScenarioError(step.line, step.action == "poll"
                                               ? "the device requested no read when the cycle started"
                                               : "no read is outstanding: \"cycle\" must follow a \"refresh\"");
        int result = 1;
        for (int replies = 0; host_.outstanding && host_.outstanding->kind == Exchange::Read; ++replies) {
            if (replies == kMostRepliesPerCycle)
                throw ScenarioError(step.line, "the cycle did not finish after " + std::to_string(replies) + " replies");
            const Exchange read = *host_.outstanding;
            host_.outstanding.reset();
            std::vector<unsigned short> words;
            for (int r = read.start; r < read.start + read.count; ++r) {
                const auto it = image.find(r);
                words.push_back(it == image.end() ? 0 : it->second);
            }
            result = deliver_reply(m, words.data(), static_cast<unsigned>(words.size()));
            if (result == 0)
                break;
        }
        return result;
    }

    static std::map<int, unsigned short> register_image(const Step& step)
    {
        std::map<int, unsigned short> image;
        const Json::Value& registers = step.fields["registers"];
        if (registers.isObject())
            for (const auto& start : registers.getMemberNames()) {
                const int first = std::stoi(start);
                const Json::Value& words = registers[start];
                for (Json::ArrayIndex i = 0; i < words.size(); ++i)
                    image[first + static_cast<int>(i)] = static_cast<unsigned short>(words[i].asUInt());
            }
        return image;
    }

    void cycle(const Step& step)
    {
        SPModbus& m = modbus(step);
        const auto image = register_image(step);
        call_plugin(step, [&] { return ResultFields{{"value", number(answer_reads(step, m, image))}}; });
    }

    void poll(const Step& step)
    {
        SPModbus& m = modbus(step);
        const auto image = register_image(step);
        call_plugin(step, [&] {
            m.RefreshStatus();
            return ResultFields{{"value", number(answer_reads(step, m, image))}};
        });
    }

    void control(const Step& step)
    {
        SMDVDevice& d = device(step);
        const int code = step.fields["code"].asInt();
        const std::vector<unsigned char> in = *from_hex(step.fields.get("in", "").asString());
        const int out_cap = step.fields.get("out_cap", 0).asInt();
        // Never hand out a null buffer, even an empty one.
        std::vector<unsigned char> in_buffer(in);
        in_buffer.push_back(0);
        std::vector<unsigned char> out(static_cast<std::size_t>(out_cap) + 1, 0);
        call_plugin(step, [&] {
            int out_len = 0;
            const int result =
                d.DeviceIoControl(code, in_buffer.data(), static_cast<int>(in.size()), out.data(), out_cap, out_len);
            ResultFields fields{{"value", number(result)}, {"out_len", number(out_len)}};
            const std::size_t shown = static_cast<std::size_t>(std::clamp(out_len, 0, out_cap));
            if (code == kDocumentByReference && shown >= sizeof(void*)) {
                fields.push_back({"ref", reference_name(d, out.data())});
            } else {
                fields.push_back({"out", to_hex(out.data(), shown)});
            }
            // A refused request leaves no document in the buffer to show.
            if (code == kDocumentAsText && result == 0)
                fields.push_back({"text", std::string(out.begin(), out.begin() + static_cast<long>(shown))});
            return fields;
        });
    }

    // An address changes from run to run; the trace says what it points at.
    static std::string reference_name(SMDVDevice& d, const unsigned char* bytes)
    {
        const void* pointer = nullptr;
        std::memcpy(&pointer, bytes, sizeof pointer);
        const auto* device = dynamic_cast<XK83T*>(&d);
        if (pointer == nullptr)
            return "null";
        return device != nullptr && pointer == &device->json_ ? "json_" : "other";
    }

    void load_cache(const Step& step)
    {
        SMDVDevice& d = device(step);
        std::vector<unsigned char> bytes;
        if (step.fields.isMember("hex"))
            bytes = *from_hex(step.fields["hex"].asString());
        else
            bytes.assign(step.fields["length"].asUInt64(), 0);
        const std::size_t length = bytes.size();
        bytes.push_back(0);
        call_plugin(step, [&] {
            return ResultFields{{"value", number(d.LoadFromCache(bytes.data(), static_cast<int>(length)))}};
        });
    }

    void get_value(const Step& step)
    {
        SMDVDevice& d = device(step);
        call_plugin(step, [&] { return ResultFields{{"value", d.Get_Value(0, "")}}; });
    }

    void host(const Step& step)
    {
        const Json::Value& f = step.fields;
        if (f.isMember("batch_result"))
            host_.batch_result = f["batch_result"].asBool();
        if (!f.isMember("threshold_level") && !f.isMember("threshold_value") && !f.isMember("bao") &&
            !f.isMember("queue_rule_values"))
            return;
        SMDVDevice& d = device(step);
        for (const auto& key : f["threshold_level"].getMemberNames())
            d.threshold_level_map_[key] = f["threshold_level"][key].asInt();
        for (const auto& key : f["threshold_value"].getMemberNames())
            d.threshold_value_map_[key] = f["threshold_value"][key].asFloat();
        for (const auto& id : f["bao"].getMemberNames())
            apply_report_setting(f["bao"][id], d.bao_settings_[id]);
        const auto queued = f.get("queue_rule_values", 0).asUInt64();
        for (std::uint64_t i = 0; i < queued; ++i)
            d.rule_values_.push_back(SMDVDevice::rule_value{"rule" + std::to_string(i + 1), 0, false});
    }

    // Only the fields given change; a new entry starts as the host makes one.
    static void apply_report_setting(const Json::Value& given, SMDVDevice::BAOSetting& s)
    {
        s.change_report = given.get("change_report", s.change_report).asBool();
        s.change_step = given.get("change_step", s.change_step).asFloat();
        s.percent_report = given.get("percent_report", s.percent_report).asBool();
        s.percent_step = given.get("percent_step", s.percent_step).asFloat();
        s.period_report = given.get("period_report", s.period_report).asBool();
        s.period_minutes = given.get("period_minutes", s.period_minutes).asFloat();
        s.last_report_time = given.get("last_report_time", s.last_report_time).asUInt();
        s.last_report_value = given.get("last_report_value", s.last_report_value).asFloat();
    }

    TraceWriter& trace_;
    ConsoleCapture capture_;
    TracingHost host_;
    ScenarioClock clock_;
    std::vector<std::shared_ptr<Provider>> providers_;
    SMDVDevice* device_ = nullptr;
};

void report(std::ostream& errors, const std::string& name, const ScenarioError& e)
{
    errors << name << ":" << e.line() << ": " << e.what() << std::endl;
}

}  // namespace

int run_scenario(std::istream& scenario, const std::string& name, std::ostream& trace_out, std::ostream& errors,
                 const ReplayOptions& options)
{
    std::vector<Step> steps;
    try {
        steps = parse_scenario(scenario);
    } catch (const ScenarioError& e) {
        report(errors, name, e);
        return 2;
    }

    std::unique_ptr<WorkdirSession> workdir;
    try {
        workdir = std::make_unique<WorkdirSession>(options.workdir);
    } catch (const std::exception& e) {
        errors << "cannot set up the working directory: " << e.what() << std::endl;
        return 2;
    }

    TraceWriter trace(trace_out);
    ScenarioRun run(trace);
    for (const Step& step : steps) {
        try {
            run.run(step);
        } catch (const ScenarioError& e) {
            run.finish();
            report(errors, name, e);
            return 2;
        }
    }
    return 0;
}

}  // namespace xk83t_replay
