// A stream of master events in any order: refreshes, replies of any length
// and content, failures, and control writes that take over the exchange.

#include "fuzz_input.h"
#include "quiet_host.h"

#include <device/xk83t.h>

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    xk83t_fuzz::quiet_process();
    xk83t_fuzz::FuzzInput in(data, size);
    XK83T device;
    device.b_mode_ = in.take<std::uint8_t>() % 7;
    std::vector<unsigned short> words;
    int out_len = 0;
    unsigned char out[8];
    while (!in.empty()) {
        switch (in.take<std::uint8_t>() % 6) {
        case 0:
            device.RefreshStatus();
            break;
        case 1: {
            words.assign(in.take<std::uint8_t>() % (SPModbus::kReplyWords + 8), 0);
            for (auto& w : words)
                w = in.take<std::uint16_t>();
            deliver_reply(device, words.data(), static_cast<unsigned>(words.size()));
            break;
        }
        case 2:
            deliver_error(device);
            break;
        case 3: {
            const std::uint32_t request = in.take<std::uint32_t>();
            device.DeviceIoControl(206, &request, sizeof request, out, sizeof out, out_len);
            break;
        }
        case 4: {
            const std::string request = in.take_text(in.take<std::uint8_t>());
            device.DeviceIoControl(210, request.data(), static_cast<int>(request.size()), out, sizeof out, out_len);
            break;
        }
        case 5:
            device.state_ = in.take<std::int32_t>();
            break;
        }
    }
    return 0;
}
