// LoadFromCache with any bytes and length: only a 2585-byte image may be
// taken, and taking one completes a cycle in whatever alarm mode is set.

#include "fuzz_input.h"
#include "quiet_host.h"

#include <device/xk83t.h>

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    xk83t_fuzz::quiet_process();
    xk83t_fuzz::FuzzInput in(data, size);
    XK83T device;
    device.b_mode_ = in.take<std::uint8_t>() % 7;
    const std::string image = in.rest();
    const int result = device.LoadFromCache(image);
    if (result != (image.size() == sizeof(XK83T_Data_t) ? 1 : 0))
        std::abort();
    // The string form and the byte form must agree.
    if (device.LoadFromCache(reinterpret_cast<const unsigned char*>(image.data()), static_cast<int>(image.size())) !=
        result)
        std::abort();
    return 0;
}
