#pragma once

#include "host_api.h"

#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <json/value.h>

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class SMDController;
class SMDVDevice;

enum EnumParity { PARITY_NONE = 0, PARITY_ODD = 1, PARITY_EVEN = 2 };

// The 7-byte local time stamp that ends every published record.
struct __attribute__((packed)) TTime {
    std::uint16_t year;
    std::uint8_t month;
    std::uint8_t day;
    std::uint8_t hour;
    std::uint8_t minute;
    std::uint8_t second;
};
static_assert(sizeof(TTime) == 7, "time stamp is 7 bytes");

HOST_API TTime get_ttime(boost::posix_time::ptime t);

// Root of every device the host drives. The order of the virtual operations
// across the whole chain is part of the host's binary interface: do not
// reorder or insert.
class HOST_API VDeviceInterface {
public:
    VDeviceInterface();

    virtual double Get_Value(unsigned int, const std::string&) const
    {
        throw std::out_of_range("数据未就绪");
    }
    virtual int LoadFromCache(const std::string& bytes)
    {
        return LoadFromCache(reinterpret_cast<const unsigned char*>(bytes.data()),
                             static_cast<int>(bytes.size()));
    }
    virtual int LoadFromCache(const unsigned char* bytes, int length) = 0;
    virtual unsigned int DataId() const { return data_id_; }
    virtual const std::string& DeviceType() const { return model_; }
    virtual int DeviceIoControl(int code, const void* in, int in_len, void* out, int out_cap,
                                int& out_len) = 0;
    virtual void RoundDone() = 0;
    virtual bool UseControllerDb() { return use_controller_db_; }
    virtual ~VDeviceInterface();

    unsigned int data_id_ = 0;
    std::string model_;
    bool use_controller_db_ = false;
};

class HOST_API SMDVDevice : public VDeviceInterface {
public:
    // Per-signal report settings of the host.
    struct BAOSetting {
        BAOSetting() : change_report(false), percent_report(false), period_report(false) {}
        bool change_report;
        float change_step = 0;
        bool percent_report;
        float percent_step = 0;
        bool period_report;
        float period_minutes = 0;
        std::uint32_t last_report_time = 0;
        float last_report_value = 0;
    };

    // One threshold request queued by the host; the plug-in only counts,
    // passes and clears the list.
    struct rule_value {
        std::string id;
        int level = 0;
        bool state = false;
    };

    SMDVDevice();
    ~SMDVDevice() override;

    int DeviceIoControl(int code, const void* in, int in_len, void* out, int out_cap,
                        int& out_len) override;
    void RoundDone() override;

    virtual void Reset();
    virtual int InitV(SMDVDevice* parent, unsigned int index, const Json::Value& settings);
    virtual int Init(std::weak_ptr<SMDController> controller, unsigned int index,
                     const Json::Value& settings);
    virtual int InitSetting(const Json::Value& settings);
    virtual bool IsSupportDevice(const std::string& model) const;
    virtual std::shared_ptr<SMDVDevice> GetChildVDevice(unsigned int) { return {}; }
    virtual std::vector<std::shared_ptr<SMDVDevice>> GetAllChildVDevices() { return {}; }
    virtual int SendSP(int type, const unsigned char* data, unsigned int length, bool now);
    virtual int SendDelayData(int delay);
    virtual int SendDoData(int index, char value);
    virtual int ReadDi(int index);
    virtual double ReadAi(int index);
    virtual double Get_SP_Value(unsigned int index, const std::string& name);

    int SaveDeviceHistory(const unsigned char* data, unsigned int length);
    bool DoBatchCheckThreshold(const std::vector<rule_value>& values);
    int CheckThreshold(const std::string& id, const std::string& name, const float& value,
                       int flag);
    int CheckThresholdBool(int level, const std::string& s1, const std::string& s2,
                           const std::string& s3, const std::string& s4, bool state,
                           unsigned short seq);
    int CheckAOReport(const std::string& id, float value);

    std::map<std::string, BAOSetting> bao_settings_;
    unsigned short check_seq_ = 0;
    boost::posix_time::ptime last_update_;  // not-a-date-time until the first cycle
    bool data_ready_ = false;
    std::vector<rule_value> rule_values_;
    unsigned char alarm_flag_ = 0;
    std::map<std::string, int> threshold_level_map_;
    std::map<std::string, float> threshold_value_map_;
};

class HOST_API SMDSPDevice : public SMDVDevice {
public:
    SMDSPDevice();
    ~SMDSPDevice() override;

    void Reset() override;
    int Init(std::weak_ptr<SMDController> controller, unsigned int index,
             const Json::Value& settings) override;

    virtual int RefreshStatus();
    virtual int process(unsigned char* bytes, unsigned int length);
    virtual bool IsProcessing();
    virtual bool IsStalled();
    virtual int SendData(const unsigned char* bytes, unsigned int length);
    virtual int SendParityData(const unsigned char* bytes, unsigned int length, EnumParity parity);
    virtual int OpenPort();
    virtual int ClosePort();

    int baud_rate_ = 9600;
};
