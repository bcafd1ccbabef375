#pragma once

// A host Modbus device built around one fixed-size data record: it owns the
// record, the alarm rule tables and the display document, and completes
// every polling cycle (time stamp, publish, alarms, history).

#include "clock.h"
#include "rule_tables.h"

#include <host/spmodbus.h>

#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <json/value.h>

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
        switch (b_mode_) {
        case 1:
        case 3:
        case 5: {
            // GenJsonData takes mutex_ itself; the evaluation runs under it.
            GenJsonData();
            std::lock_guard<std::mutex> lock(mutex_);
            evaluate_rules_locked();
            break;
        }
        default:
            break;
        }
        std::cout << "rvSize is " << this->rule_values_.size() << std::endl;
        this->alarm_flag_ |= static_cast<unsigned char>(this->DoBatchCheckThreshold(this->rule_values_));
        this->SaveDeviceHistory(record_bytes(), sizeof(Data));
        this->rule_values_.clear();
    }

    int InitSetting(const Json::Value& settings) override
    {
        return Base::InitSetting(settings);
    }

    virtual void RunCheckThreshold() {}
    virtual void GenJsonData() {}

protected:
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

    // The rule evaluation of the current alarm mode; mutex_ is held.
    void evaluate_rules_locked() {}

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
