#pragma once

// Takes typed values off the front of a fuzz input; past the end, zeros.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace xk83t_fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    template <typename T>
    T take()
    {
        T value{};
        const std::size_t n = sizeof(T) < size_ ? sizeof(T) : size_;
        if (n > 0)
            std::memcpy(&value, data_, n);
        advance(n);
        return value;
    }

    // Up to max bytes, as text.
    std::string take_text(std::size_t max)
    {
        const std::size_t n = max < size_ ? max : size_;
        if (n == 0)
            return {};
        std::string text(reinterpret_cast<const char*>(data_), n);
        advance(n);
        return text;
    }

    std::string rest() { return take_text(size_); }
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

private:
    void advance(std::size_t n)
    {
        data_ += n;
        size_ -= n;
    }

    const std::uint8_t* data_;
    std::size_t size_;
};

}  // namespace xk83t_fuzz
