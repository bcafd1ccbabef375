#include "document_builder.h"

#include "display_plan.h"
#include "display_tables.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>
#include <string>

namespace xk83t {
namespace {

// "2024-3-5 7:4:9": no fill characters or leading zeros.
std::size_t update_time_text(const unsigned char* at, char (&text)[32])
{
    XK83T_Stamp_t stamp;
    std::memcpy(&stamp, at, sizeof stamp);
    const unsigned parts[] = {stamp.year, stamp.month, stamp.day, stamp.hour, stamp.minute, stamp.second};
    const char separators[] = {'-', '-', ' ', ':', ':'};
    char* out = text;
    char* const end = text + sizeof text;
    for (std::size_t i = 0; i < std::size(parts); ++i) {
        if (i > 0)
            *out++ = separators[i - 1];
        out = std::to_chars(out, end, parts[i]).ptr;
    }
    return static_cast<std::size_t>(out - text);
}

void write_alerts(Json::Value& alerts, const DisplayPlan& plan, const unsigned char* record)
{
    alerts[Json::StaticString(plan.alert_system.c_str())] = read_register(record + kSystemAlarm.offset) == 1;
    // An incoming-line entry appears at its first alarm and then stays at 1.
    for (std::size_t i = 0; i < plan.alert_lines.size(); ++i)
        if (read_register(record + kLineStates[i].offset) == 1)
            alerts[Json::StaticString(plan.alert_lines[i].c_str())] = 1;
}

void write_member(Json::Value& member, const PlannedMember& planned, const unsigned char* record,
                  RecycledText& update_time)
{
    switch (planned.kind) {
    case MemberKind::kValue:
        assign_member(member, planned.reading, planned.divisor, record + planned.offset);
        return;
    case MemberKind::kAlertArray:
        write_alerts(member, display_plan(), record);
        return;
    case MemberKind::kUpdateTime: {
        char text[32];
        const std::size_t length = update_time_text(record + planned.offset, text);
        update_time.assign(member, text, length);
        return;
    }
    }
}

// Byte-wise, as the document orders its members.
int compare_name(const char* key, const char* key_end, const std::string& name)
{
    const std::size_t key_length = static_cast<std::size_t>(key_end - key);
    const int order = std::memcmp(key, name.data(), std::min(key_length, name.size()));
    if (order != 0)
        return order;
    return key_length < name.size() ? -1 : key_length > name.size() ? 1 : 0;
}

}  // namespace

void DocumentBuilder::build(Json::Value& document, const unsigned char* record)
{
    if (!addresses_.empty() && document.isObject() && document.size() == known_members_ &&
        &*document.begin() == known_first_) {
        write_known_members(record);
        return;
    }
    if (!write_checking_names(document, record)) {
        // The first build, or a document replaced from outside.
        for (const PlannedMember& planned : display_plan().members)
            if (document.find(planned.name.data(), planned.name.data() + planned.name.size()) == nullptr)
                document[Json::StaticString(planned.name.c_str())];
        write_checking_names(document, record);
    }
}

bool DocumentBuilder::write_checking_names(Json::Value& document, const unsigned char* record)
{
    addresses_.clear(display_plan().members.size());
    if (!document.isObject())
        return false;
    auto it = document.begin();
    const auto end = document.end();
    for (const PlannedMember& planned : display_plan().members) {
        for (;; ++it) {
            if (it == end)
                return false;
            const char* key_end = nullptr;
            const char* key = it.memberName(&key_end);
            if (key == planned.name.c_str())
                break;
            const int order = compare_name(key, key_end, planned.name);
            if (order == 0)
                break;
            if (order > 0)
                return false;
        }
        write_member(*it, planned, record, update_time_);
        addresses_.add(*it);
        ++it;
    }
    known_members_ = document.size();
    known_first_ = &*document.begin();
    return true;
}

void DocumentBuilder::write_known_members(const unsigned char* record)
{
    MemberAddresses::Reader addresses(addresses_);
    for (const PlannedMember& planned : display_plan().members) {
        Json::Value& member = addresses.next();
        // Values are nearly all members: their assignment is kept in line.
        if (planned.kind == MemberKind::kValue)
            assign_member(member, planned.reading, planned.divisor, record + planned.offset);
        else
            write_member(member, planned, record, update_time_);
    }
}

}  // namespace xk83t
