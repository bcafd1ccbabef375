#pragma once

// The plug-in writes its console lines to std::cout. While a capture is alive
// they go, line by line, to a callback instead, in order with everything
// else the callback's owner records; the previous buffer comes back after.

#include <functional>
#include <streambuf>
#include <string>

namespace xk83t_replay {

class ConsoleCapture {
public:
    using LineSink = std::function<void(const std::string&)>;

    explicit ConsoleCapture(LineSink sink);
    ~ConsoleCapture();
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    // Hands over a last line that was never ended.
    void finish();

private:
    class LineBuffer : public std::streambuf {
    public:
        explicit LineBuffer(LineSink sink) : sink_(std::move(sink)) {}
        void finish();

    protected:
        int overflow(int ch) override;
        std::streamsize xsputn(const char* text, std::streamsize count) override;

    private:
        LineSink sink_;
        std::string line_;
    };

    LineBuffer buffer_;
    std::streambuf* previous_;
};

}  // namespace xk83t_replay
