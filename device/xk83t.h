#pragma once

// The XK83T DC power distribution monitor as the host sees it.

#include "uni_data_device.h"

#include <acquisition/record.h>
#include <control/document_text.h>
#include <display/document_builder.h>

#include <cstdint>

class XK83T : public UniDataDevice<XK83T_Data_t, SPModbus, xk83t::kRecordTypeId> {
public:
    XK83T();
    ~XK83T() override;

    double Get_Value(unsigned int index, const std::string& name) const override;
    int InitSetting(const Json::Value& settings) override;
    int RefreshStatus() override;
    int process_payload(SPModbus::tab_type table, unsigned int length) override;
    void RunCheckThreshold() override;
    int DeviceIoControl(int code, const void* in, int in_len, void* out, int out_cap, int& out_len) override;
    void GenJsonData() override;

    // Writers of one record block's display members (display/group_builders.cpp).
    // They write json_ unlocked: the caller holds mutex_ or owns the device alone.
    void _xk83t_Inline(char* block, const char* prefix, int index, const char* line);
    void _xk83t_Feeder(char* block, const char* prefix, int index, const char* f1, const char* f2,
                       const char* f3);
    void _xk83t_ASwitchStatus(char* reg, const char* prefix, int number, const char* number_text);
    void _xk83t_BSwitchStatus(char* reg, const char* prefix, int number, const char* number_text);

    // The document's compact text, written again only after the document
    // has changed (control/document_text.h). The caller holds mutex_.
    const std::string& document_text_locked();

    int write_result_ = -1;
    int write_expect_ = -1;

private:
    int check_single_write();
    int check_multiple_write();

    // Guarded by mutex_, like json_.
    xk83t::DocumentBuilder document_builder_;
    std::uint64_t document_version_ = 0;  // moved on by every build
    xk83t::DocumentText document_text_;
};
