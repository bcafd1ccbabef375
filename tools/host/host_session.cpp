#include "host_session.h"

#include "display_document.h"

#include <ctime>
#include <stdexcept>

namespace xk83t_host {

namespace {

std::string local_time_text(std::time_t t)
{
    std::tm parts{};
    localtime_r(&t, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

std::unique_ptr<HistoryStore> open_history(const std::string& path)
{
    return path.empty() ? nullptr : std::make_unique<HistoryStore>(path);
}

}  // namespace

HostSession::HostSession(const SessionOptions& options, std::ostream& log)
    : options_(options), log_(log), history_(open_history(options.history)), services_(alarms_, history_.get())
{
    std::string path = options_.plugin;
    if (path.empty()) {
        path = PluginLibrary::find_default();
        if (path.empty()) {
            std::string tried;
            for (const std::string& candidate : PluginLibrary::default_candidates())
                tried += " " + candidate;
            throw std::runtime_error("no plug-in found (looked for" + tried + "); give --plugin PATH");
        }
    }
    previous_services_ = set_host_services(&services_);
    try {
        plugin_ = std::make_unique<PluginLibrary>(path);
    } catch (...) {
        set_host_services(previous_services_);
        throw;
    }
}

HostSession::~HostSession()
{
    devices_.clear();
    links_.clear();
    plugin_.reset();
    set_host_services(previous_services_);
}

ModbusLink& HostSession::line_for(const LinkSettings& settings)
{
    auto& link = links_[settings.endpoint()];
    if (!link)
        link = std::make_unique<ModbusLink>(settings);
    else if (!link->settings().same_line(settings))
        throw std::runtime_error("devices on " + settings.endpoint() + " disagree on the line's speed or framing");
    return *link;
}

void HostSession::start_devices()
{
    for (const DeviceConfig& config : options_.devices) {
        auto hosted = std::make_unique<HostedDevice>();
        hosted->config = config;
        hosted->device = plugin_->create_device();
        hosted->modbus = dynamic_cast<SPModbus*>(hosted->device.get());
        if (!hosted->modbus)
            throw std::runtime_error("the plug-in's device is not a Modbus device");
        hosted->link = &line_for(config.link);

        SMDVDevice& device = *hosted->device;
        device.data_id_ = config.data_id;
        device.threshold_level_map_ = config.tables.threshold_levels;
        device.threshold_value_map_ = config.tables.threshold_values;
        device.bao_settings_ = config.tables.bao_settings;
        alarms_.set_analog_limits(config.data_id, config.tables.analog_limits);
        try {
            device.InitSetting(config.settings);
        } catch (const std::exception& e) {
            log_ << "device " << config.data_id << ": the plug-in rejected its settings (" << e.what()
                 << "); polling it with what it took" << std::endl;
        }
        restore(*hosted);
        devices_.push_back(std::move(hosted));
    }
}

void HostSession::restore(HostedDevice& hosted)
{
    if (!history_)
        return;
    const auto row = history_->latest(hosted.data_id());
    if (!row)
        return;
    services_.set_restoring(*hosted.device, true);
    int accepted = 0;
    try {
        accepted = hosted.device->LoadFromCache(row->record.data(), static_cast<int>(row->record.size()));
    } catch (const std::exception& e) {
        log_ << "device " << hosted.data_id() << ": restoring its record failed: " << e.what() << std::endl;
    }
    services_.set_restoring(*hosted.device, false);
    if (accepted)
        log_ << "device " << hosted.data_id() << ": restored its latest record from the history (saved "
             << local_time_text(row->saved_at) << ")" << std::endl;
    else
        log_ << "device " << hosted.data_id() << ": the plug-in refused its saved record (" << row->record.size()
             << " bytes)" << std::endl;
}

CycleOutcome HostSession::poll(HostedDevice& hosted, const ProgressFn& progress)
{
    const CycleOutcome outcome = run_cycle(*hosted.modbus, hosted.config.unit, *hosted.link, services_, progress);
    ++hosted.cycles;
    if (outcome.completed) {
        ++hosted.completed;
        hosted.exchanges_per_cycle = outcome.exchanges;
    } else {
        ++hosted.failed;
    }
    return outcome;
}

std::optional<std::string> HostSession::document(HostedDevice& hosted)
{
    try {
        return fetch_display_document(*hosted.device, hosted.document_buffer);
    } catch (const std::exception& e) {
        log_ << "device " << hosted.data_id() << ": reading its display document failed: " << e.what() << std::endl;
        return std::nullopt;
    }
}

}  // namespace xk83t_host
