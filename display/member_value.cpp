#include "member_value.h"

#include <array>

namespace xk83t {
namespace {

using StateTexts = std::array<std::string, 4>;

// Never freed: documents and their copies point at these texts.
const StateTexts* const state_texts =
    new StateTexts{status_text(0), status_text(1), status_text(2), status_text(3)};

}  // namespace

const std::string& lasting_state_text(std::uint16_t code)
{
    return (*state_texts)[code < 3 ? code : 3];
}

}  // namespace xk83t
