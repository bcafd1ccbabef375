#pragma once

// The display document's compact text (code 801), written once per change
// of the document and handed out again while it stays unchanged.
//
// The document changes only under the device's mutex_: by a rebuild, which
// moves the device's document version on, and by the inserting lookups of
// the mode 1 and 3 evaluations, which can only add members. The text is
// therefore current while the version and the number of members are those
// it was written at.

#include <json/value.h>

#include <cstdint>
#include <string>

namespace xk83t {

class DocumentText {
public:
    // The text Json::FastWriter writes for `document` now. The caller holds
    // the lock that guards the document.
    const std::string& of(const Json::Value& document, std::uint64_t version);

private:
    std::string text_;
    std::uint64_t version_ = 0;
    Json::ArrayIndex members_ = 0;
    bool written_ = false;
};

}  // namespace xk83t
