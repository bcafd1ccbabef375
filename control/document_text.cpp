#include "document_text.h"

#include <json/writer.h>

namespace xk83t {

const std::string& DocumentText::of(const Json::Value& document, std::uint64_t version)
{
    if (!written_ || version != version_ || document.size() != members_) {
        text_ = Json::FastWriter().write(document);
        version_ = version;
        members_ = document.size();
        written_ = true;
    }
    return text_;
}

}  // namespace xk83t
