#include "xk83t.h"

#include <boost/date_time/posix_time/posix_time_types.hpp>

#include <stdexcept>

XK83T::XK83T()
{
    write_result_ = -1;
    write_expect_ = -1;
    model_ = "xk83t";
    baud_rate_ = 9600;
    master_option_ = 1;
}

XK83T::~XK83T() = default;

double XK83T::Get_Value(unsigned int, const std::string&) const
{
    if (!data_ready_)
        throw std::out_of_range("数据未就绪");
    const auto age = (xk83t::local_now() - last_update_).total_seconds();
    if (age >= 61)
        throw std::out_of_range("数据已超时");
    throw std::out_of_range("不支持变量");
}

int XK83T::InitSetting(const Json::Value& settings)
{
    store_data_id();
    return UniDataDevice::InitSetting(settings);
}
