#include "display_document.h"

namespace xk83t_host {

std::optional<std::string> fetch_display_document(SMDVDevice& device, std::vector<char>& buffer)
{
    if (buffer.empty())
        buffer.resize(16 * 1024);
    // The document may grow between two requests (a new cycle ends), so a
    // second too-small answer is allowed for; a third means no progress.
    for (int attempt = 0; attempt < 3; ++attempt) {
        int out_len = 0;
        const int rc = device.DeviceIoControl(kReadDocumentText, nullptr, 0, buffer.data(),
                                              static_cast<int>(buffer.size()), out_len);
        if (rc == 0 && out_len >= 0 && static_cast<std::size_t>(out_len) <= buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(out_len));
        if (rc != -1 || out_len <= static_cast<int>(buffer.size()))
            return std::nullopt;
        buffer.resize(static_cast<std::size_t>(out_len));
    }
    return std::nullopt;
}

}  // namespace xk83t_host
