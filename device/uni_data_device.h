#pragma once

// A host Modbus device built around one fixed-size data record: it owns the
// record, the alarm rule tables and the display document, and completes
// every polling cycle (time stamp, publish, alarms, history).

#include "clock.h"
#include "rule_tables.h"

#include <alarms/rule_evaluation.h>
#include <config/alarm_mode.h>
#include <config/rule_file.h>
#include <config/threshold_settings.h>

#include <host/spmodbus.h>

#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <json/value.h>

#include <cstdint>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>

template <typename Data, typename Base, int RecordTypeId>
class UniDataDevice : public Base {
public:
    using ThresholdRule = xk83t::ThresholdRule;

    UniDataDevice()
    {
        std::memset(&data_, 0, sizeof data_);
        b_mode_ = 1;
    }
    ~UniDataDevice() override = default;

    int LoadFromCache(const unsigned char* bytes, int length) override
    {
        if (bytes == nullptr || length != static_cast<int>(sizeof(Data)))
            return 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            std::memcpy(&data_, bytes, sizeof(Data));
        }
        this->data_ready_ = true;
        RoundDone();
        return 1;
    }
    using Base::LoadFromCache;

    void RoundDone() override
    {
        this->data_ready_ = true;
        const boost::posix_time::ptime now = xk83t::local_now();
        const TTime stamp = get_ttime(now);
        {
            // GenJsonData compares last_update_ under mutex_, possibly on a
            // control request's thread.
            std::lock_guard<std::mutex> lock(mutex_);
            this->last_update_ = now;
            std::memcpy(&data_.update_time, &stamp, sizeof stamp);
        }
        this->SendSP(RecordTypeId, record_bytes(), sizeof(Data), false);
        this->Reset();
        this->check_seq_ = 1;
        this->alarm_flag_ = 0;
        RunCheckThreshold();
        const int mode = current_mode();
        if (mode == 1 || mode == 3 || mode == 5) {
            // GenJsonData takes mutex_ itself; the evaluation runs under it.
            GenJsonData();
            std::lock_guard<std::mutex> lock(mutex_);
            evaluate_rules_locked(mode);
        }
        std::cout << "rvSize is " << this->rule_values_.size() << std::endl;
        this->alarm_flag_ |= static_cast<unsigned char>(this->DoBatchCheckThreshold(this->rule_values_));
        this->SaveDeviceHistory(record_bytes(), sizeof(Data));
        this->rule_values_.clear();
    }

    // Reads the alarm mode, the rule file and the threshold settings, then
    // hands the settings to the Modbus master. Reader errors propagate with
    // the tables filled so far kept and the master not called.
    int InitSetting(const Json::Value& settings) override
    {
        store_data_id();
        int mode = current_mode();
        if (xk83t::read_alarm_mode(settings, mode)) {
            set_mode(mode);
            std::cout << "InitSetting " << data_.data_id << " b_mode_:" << mode << std::endl;
        }
        const xk83t::RuleFileQuery query{this->DataId(), this->DeviceType(), xk83t::operator_name(mode)};
        // The tables are filled under mutex_ so that a cycle's evaluation on
        // the polling thread never reads one half rebuilt.
        std::lock_guard<std::mutex> lock(mutex_);
        xk83t::read_rule_file(query, mode, ai_rule_map_, alarm_rule_map_);
        if (mode == 3) {
            xk83t::read_mobile_alarms(settings, this->data_id_,
                                      {this->threshold_level_map_, this->threshold_value_map_},
                                      alarm_info_map_, signal_name_map_);
        } else if (mode == 5) {
            xk83t::read_threshold_limits(
                settings, {&up_threshold_map_, &up2_threshold_map_, &low_threshold_map_, &low2_threshold_map_});
        }
        return Base::InitSetting(settings);
    }

    // The report filter of mode 1; the caller holds mutex_.
    bool CheckAOReport(const std::string& fallback_id, const std::string& report_id, float value)
    {
        return xk83t::filter_ao_report(*this, fallback_id, report_id, value);
    }
    using Base::CheckAOReport;

    // One threshold map of mode 5; the caller holds mutex_.
    void CheckSignalThresholdMap(std::map<std::string, ThresholdRule>& rules, bool upper)
    {
        xk83t::check_threshold_map(*this, json_, rules, upper);
    }

    virtual void RunCheckThreshold() {}
    virtual void GenJsonData() {}

protected:
    // The settings thread writes b_mode_ while the polling and control
    // threads read it.
    int current_mode()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return b_mode_;
    }
    void set_mode(int mode)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        b_mode_ = mode;
    }

    // Every record this template serves begins with the 32-bit data id.
    void store_data_id()
    {
        const std::uint32_t id = this->DataId();
        store_block(0, &id, sizeof id);
    }

    const unsigned char* record_bytes() const
    {
        return reinterpret_cast<const unsigned char*>(&data_);
    }

    // Copies one block of the record under mutex_, so a display build on
    // another thread never sees it half written.
    void store_block(std::size_t offset, const void* bytes, std::size_t length)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::memcpy(reinterpret_cast<unsigned char*>(&data_) + offset, bytes, length);
    }

    void evaluate_rules_locked(int mode)
    {
        switch (mode) {
        case 1:
            xk83t::evaluate_ai_rules(*this, json_, ai_rule_map_);
            break;
        case 3:
            xk83t::evaluate_alarm_rules(*this, json_, alarm_rule_map_, alarm_info_map_, signal_name_map_);
            break;
        case 5:
            CheckSignalThresholdMap(up_threshold_map_, true);
            CheckSignalThresholdMap(up2_threshold_map_, true);
            CheckSignalThresholdMap(low_threshold_map_, false);
            CheckSignalThresholdMap(low2_threshold_map_, false);
            break;
        default:
            break;
        }
    }

public:
    Data data_;
    int b_mode_ = 1;
    xk83t::TextMap alarm_info_map_;
    xk83t::TextMap signal_name_map_;
    xk83t::TextMap alarm_rule_map_;
    xk83t::ThresholdMap up_threshold_map_;
    xk83t::ThresholdMap up2_threshold_map_;
    xk83t::ThresholdMap low_threshold_map_;
    xk83t::ThresholdMap low2_threshold_map_;
    boost::posix_time::ptime json_time_;
    std::mutex mutex_;
    Json::Value json_;
    xk83t::AiRuleMap ai_rule_map_;
};
