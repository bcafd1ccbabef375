// The display document, rebuilt once per completed cycle.

#include <device/xk83t.h>

#include <mutex>

void XK83T::GenJsonData()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (last_update_ == json_time_)
        return;
    json_time_ = last_update_;
    ++document_version_;
    document_builder_.build(json_, record_bytes());
}
