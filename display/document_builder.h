#pragma once

// Writes the display document's members from the record, in place.
//
// The first build, and any build after the document has changed its number
// of members, walks the document's members in their own order alongside the
// display plan, comparing names (members added by the rule lookups sit
// between the planned ones), and notes where each planned member lives.
// Later builds write through those addresses: the plug-in never removes a
// member, so a document with the same number of members and the same first
// member has the same members where they were. (Only the device writes its
// document; a host given its address by code 803 reads it.) No member is
// looked up by name, no name is formatted and, once the document has its
// members, nothing is allocated.

#include "member_addresses.h"
#include "recycled_text.h"

#include <json/value.h>

namespace xk83t {

class DocumentBuilder {
public:
    // The caller holds the lock that guards `document`. A null document
    // becomes an object; members already there, null or not, are kept.
    void build(Json::Value& document, const unsigned char* record);

private:
    bool write_checking_names(Json::Value& document, const unsigned char* record);
    void write_known_members(const unsigned char* record);

    RecycledText update_time_;
    // Where the planned members were at the last walk, with the document's
    // member count and first member then.
    MemberAddresses addresses_;
    Json::ArrayIndex known_members_ = 0;
    const Json::Value* known_first_ = nullptr;
};

}  // namespace xk83t
