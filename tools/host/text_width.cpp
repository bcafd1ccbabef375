#include "text_width.h"

namespace xk83t_host {

namespace {

bool is_wide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6);
}

}  // namespace

int display_width(const std::string& utf8)
{
    int width = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = 1;
        char32_t c = lead;
        if (lead >= 0xF0) {
            length = 4;
            c = lead & 0x07;
        } else if (lead >= 0xE0) {
            length = 3;
            c = lead & 0x0F;
        } else if (lead >= 0xC0) {
            length = 2;
            c = lead & 0x1F;
        }
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        width += is_wide(c) ? 2 : 1;
        i += length;
    }
    return width;
}

std::string pad_right(const std::string& utf8, int width)
{
    const int fill = width - display_width(utf8);
    return fill > 0 ? utf8 + std::string(static_cast<std::size_t>(fill), ' ') : utf8;
}

std::string pad_left(const std::string& utf8, int width)
{
    const int fill = width - display_width(utf8);
    return fill > 0 ? std::string(static_cast<std::size_t>(fill), ' ') + utf8 : utf8;
}

}  // namespace xk83t_host
