#include "console_capture.h"

#include <iostream>

namespace xk83t_replay {

ConsoleCapture::ConsoleCapture(LineSink sink) : buffer_(std::move(sink)), previous_(std::cout.rdbuf(&buffer_)) {}

ConsoleCapture::~ConsoleCapture()
{
    std::cout.rdbuf(previous_);
}

void ConsoleCapture::finish()
{
    buffer_.finish();
}

void ConsoleCapture::LineBuffer::finish()
{
    if (line_.empty())
        return;
    std::string line;
    line.swap(line_);
    sink_(line);
}

int ConsoleCapture::LineBuffer::overflow(int ch)
{
    if (traits_type::eq_int_type(ch, traits_type::eof()))
        return traits_type::not_eof(ch);
    const char c = traits_type::to_char_type(ch);
    if (c == '\n') {
        std::string line;
        line.swap(line_);
        sink_(line);
    } else {
        line_.push_back(c);
    }
    return ch;
}

std::streamsize ConsoleCapture::LineBuffer::xsputn(const char* text, std::streamsize count)
{
    for (std::streamsize i = 0; i < count; ++i)
        overflow(traits_type::to_int_type(text[i]));
    return count;
}

}  // namespace xk83t_replay
