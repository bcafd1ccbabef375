#pragma once

// Writes the display document's members from the record, in place.
//
// A build walks the document's members in their own order alongside the
// display plan. The first walk, and any walk after the document has changed
// its number of members, compares every name and notes where members that
// are not in the plan sit (members added by the rule lookups). Later walks
// trust that layout: the plug-in never removes a member, so a document with
// the same number of members has the same members in the same order. No
// member is looked up by name, no name is formatted and, once the document
// has its members, nothing is allocated.

#include "recycled_text.h"

#include <json/value.h>

#include <vector>

namespace xk83t {

class DocumentBuilder {
public:
    // The caller holds the lock that guards `document`. A null document
    // becomes an object; members already there, null or not, are kept.
    void build(Json::Value& document, const unsigned char* record);

private:
    bool write_checking_names(Json::Value& document, const unsigned char* record);
    void write_known_layout(Json::Value& document, const unsigned char* record);

    RecycledText update_time_;
    Json::ArrayIndex known_members_ = 0;  // 0: no layout known
    std::vector<Json::ArrayIndex> foreign_positions_;
};

}  // namespace xk83t
