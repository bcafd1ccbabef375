// Control requests: register writes whose outcome is read back later, the
// display document as text or by address, and the host's own requests.

#include <acquisition/exchange_states.h>
#include <device/xk83t.h>

#include <json/reader.h>

#include <cstdint>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr int kSingleWrite = xk83t::kSingleWriteState;
constexpr int kMultipleWrite = xk83t::kMultipleWriteState;
constexpr int kHostRequest = 310;
constexpr int kHostRequestUnlessMode1 = 320;
constexpr int kDocumentText = 801;
constexpr int kDocumentAddress = 803;

// An address and one value, or an address and at least one value.
constexpr int kShortestWrite = 4;

static_assert(sizeof(int) == 4, "the write outcome is answered in 4 bytes");

// Bytes the caller's buffer can take: none through a null pointer or a
// negative count.
int usable_capacity(const void* out, int out_cap)
{
    return out == nullptr || out_cap < 0 ? 0 : out_cap;
}

// A request that announces bytes it does not carry is refused before it
// touches the exchange state, so a pending write keeps its outcome.
bool input_readable(const void* in, int in_len)
{
    return in_len >= 0 && (in != nullptr || in_len == 0);
}

std::uint16_t input_word(const void* in, int index)
{
    std::uint16_t word;
    std::memcpy(&word, static_cast<const unsigned char*>(in) + 2 * index, sizeof word);
    return word;
}

// The reader refuses nesting beyond its stack limit by throwing; a body it
// refuses that way is not JSON to us either, and must not reach the host as
// an exception.
bool parses_as_json(const void* in, int in_len)
{
    std::string text;
    if (in_len > 0)
        text.assign(static_cast<const char*>(in), static_cast<std::size_t>(in_len));
    Json::Reader reader;
    Json::Value root;
    try {
        return reader.parse(text, root, true);
    } catch (const Json::Exception&) {
        return false;
    }
}

int start_single_write(XK83T& device, const void* in, int in_len)
{
    if (!input_readable(in, in_len) || in_len < kShortestWrite)
        return -1;
    const std::uint16_t address = input_word(in, 0);
    const std::uint16_t value = input_word(in, 1);
    device.state_ = kSingleWrite;
    device.write_result_ = -1;
    device.OpenPort();
    device.write_expect_ = value;
    device.modbus_write_register(address, value);
    return 0;
}

int start_multiple_write(XK83T& device, const void* in, int in_len)
{
    if (!input_readable(in, in_len) || in_len < kShortestWrite)
        return -1;
    const int count = in_len / 2 - 1;
    const std::uint16_t address = input_word(in, 0);
    // The request body need not be aligned for 16-bit access.
    std::vector<unsigned short> values(static_cast<std::size_t>(count));
    std::memcpy(values.data(), static_cast<const unsigned char*>(in) + 2, values.size() * 2);
    device.state_ = kMultipleWrite;
    device.write_result_ = -1;
    device.OpenPort();
    device.write_expect_ = count;
    device.modbus_write_registers(address, count, values.data());
    return 0;
}

int pass_host_request(XK83T& device, int code, const void* in, int in_len, void* out, int out_cap,
                      int& out_len, bool body_must_parse)
{
    if (!input_readable(in, in_len))
        return -1;
    device.state_ = code;
    device.write_result_ = -1;
    device.OpenPort();
    if (body_must_parse && !parses_as_json(in, in_len))
        return -1;
    return device.SMDVDevice::DeviceIoControl(code, in, in_len, out, out_cap, out_len);
}

int write_document_text(XK83T& device, void* out, int out_cap, int& out_len)
{
    device.GenJsonData();
    // A rebuild on the polling thread must not change the document or its
    // text while they are written out.
    std::lock_guard<std::mutex> lock(device.mutex_);
    const std::string& text = device.document_text_locked();
    out_len = static_cast<int>(text.size());
    if (text.size() > static_cast<std::size_t>(usable_capacity(out, out_cap)))
        return -1;
    std::memcpy(out, text.data(), text.size());
    return 0;
}

int write_document_address(XK83T& device, void* out, int out_cap, int& out_len)
{
    device.GenJsonData();
    const Json::Value* document = &device.json_;
    out_len = static_cast<int>(sizeof document);
    if (usable_capacity(out, out_cap) < static_cast<int>(sizeof document))
        return -1;
    std::memcpy(out, &document, sizeof document);
    return 0;
}

int pass_with_write_result(XK83T& device, int code, const void* in, int in_len, void* out, int out_cap,
                           int& out_len)
{
    if (usable_capacity(out, out_cap) >= static_cast<int>(sizeof device.write_result_)) {
        std::memcpy(out, &device.write_result_, sizeof device.write_result_);
        out_len = static_cast<int>(sizeof device.write_result_);
    } else {
        out_len = 0;
    }
    return device.SMDVDevice::DeviceIoControl(code, in, in_len, out, out_cap, out_len);
}

}  // namespace

const std::string& XK83T::document_text_locked()
{
    return document_text_.of(json_, document_version_);
}

int XK83T::DeviceIoControl(int code, const void* in, int in_len, void* out, int out_cap, int& out_len)
{
    std::cout << "XK83T::DeviceIoControl " << code << std::endl;
    switch (code) {
    case kSingleWrite:
        return start_single_write(*this, in, in_len);
    case kMultipleWrite:
        return start_multiple_write(*this, in, in_len);
    case kHostRequest:
        return pass_host_request(*this, code, in, in_len, out, out_cap, out_len, true);
    case kHostRequestUnlessMode1:
        return pass_host_request(*this, code, in, in_len, out, out_cap, out_len, current_mode() != 1);
    case kDocumentText:
        return write_document_text(*this, out, out_cap, out_len);
    case kDocumentAddress:
        return write_document_address(*this, out, out_cap, out_len);
    default:
        return pass_with_write_result(*this, code, in, in_len, out, out_cap, out_len);
    }
}
