#include "member_value.h"

#include "lasting.h"

#include <array>

namespace xk83t {

const std::string& lasting_state_text(std::uint16_t code)
{
    using StateTexts = std::array<std::string, 4>;
    // Never freed: documents and their copies point at these texts.
    static const StateTexts* const texts =
        make_lasting<StateTexts>(status_text(0), status_text(1), status_text(2), status_text(3));
    return (*texts)[code < 3 ? code : 3];
}

}  // namespace xk83t
