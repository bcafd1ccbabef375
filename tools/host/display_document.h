#pragma once

// The device's display document, read the way a host's user interface
// reads it: control request 801, which answers with the document's JSON
// text, or with -1 and the length it needs when the buffer is too small.

#include <host/vdevice.h>

#include <optional>
#include <string>
#include <vector>

namespace xk83t_host {

constexpr int kReadDocumentText = 801;

// buffer is kept by the caller and grows to what the document needs.
// Nothing when the device does not answer the request.
std::optional<std::string> fetch_display_document(SMDVDevice& device, std::vector<char>& buffer);

}  // namespace xk83t_host
