// Control requests with any code, bytes, length and capacity. The output
// buffer is exactly out_cap bytes, so any write past it is reported.

#include "fuzz_input.h"
#include "quiet_host.h"

#include <device/xk83t.h>

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    xk83t_fuzz::quiet_process();
    xk83t_fuzz::FuzzInput in(data, size);
    static const int kCodes[] = {206, 210, 310, 320, 801, 803, 0, 1000};
    XK83T device;
    device.b_mode_ = in.take<std::uint8_t>() % 7;
    if (in.take<std::uint8_t>() & 1)
        device.LoadFromCache(std::string(sizeof(XK83T_Data_t), '\x01'));

    while (!in.empty()) {
        const std::uint8_t selector = in.take<std::uint8_t>();
        const int code = selector < 8 * 28 ? kCodes[selector % 8] : in.take<std::int32_t>();
        const std::int16_t out_cap = in.take<std::int16_t>();
        const std::uint8_t flags = in.take<std::uint8_t>();
        const std::string body = in.take_text(in.take<std::uint8_t>());

        // The length the caller claims never exceeds what it passes, except
        // that it may be negative, and the pointer may be null.
        int in_len = static_cast<int>(body.size());
        if (flags & 1)
            in_len = -in_len - 1;
        const void* in_ptr = (flags & 2) ? nullptr : body.data();
        std::vector<unsigned char> out(out_cap > 0 ? static_cast<std::size_t>(out_cap) : 0);
        void* out_ptr = (flags & 4) || out.empty() ? nullptr : out.data();
        int out_len = -7;
        device.DeviceIoControl(code, in_ptr, in_len, out_ptr, out_cap, out_len);
    }
    return 0;
}
