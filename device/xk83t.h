#pragma once

// The XK83T DC power distribution monitor as the host sees it.

#include "uni_data_device.h"

#include <acquisition/record.h>

class XK83T : public UniDataDevice<XK83T_Data_t, SPModbus, xk83t::kRecordTypeId> {
public:
    XK83T();
    ~XK83T() override;

    double Get_Value(unsigned int index, const std::string& name) const override;
    int InitSetting(const Json::Value& settings) override;
    int RefreshStatus() override;
    int process_payload(SPModbus::tab_type table, unsigned int length) override;
    void RunCheckThreshold() override;

    int write_result_ = -1;
    int write_expect_ = -1;

private:
    int check_single_write();
    int check_multiple_write();
};
