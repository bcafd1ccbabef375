#include "console.h"

#include <iostream>

namespace xk83t_host {

namespace {

constexpr auto kShowAfter = std::chrono::milliseconds(400);
constexpr auto kPlainLineEvery = std::chrono::seconds(2);

}  // namespace

PluginConsole::PluginConsole(std::streambuf* target, std::string prefix)
    : target_(target), prefix_(std::move(prefix)), saved_(std::cout.rdbuf(this))
{
}

PluginConsole::~PluginConsole()
{
    if (!line_.empty())
        emit();
    std::cout.rdbuf(saved_);
}

void PluginConsole::emit()
{
    if (target_) {
        if (before_line)
            before_line();
        const std::string text = prefix_ + line_ + '\n';
        target_->sputn(text.data(), static_cast<std::streamsize>(text.size()));
        target_->pubsync();
    }
    line_.clear();
}

int PluginConsole::overflow(int ch)
{
    if (ch == traits_type::eof())
        return 0;
    if (ch == '\n')
        emit();
    else
        line_ += static_cast<char>(ch);
    return ch;
}

int PluginConsole::sync()
{
    return 0;
}

ProgressLine::ProgressLine(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}

void ProgressLine::start()
{
    started_ = Clock::now();
    last_line_ = started_;
    shown_ = false;
}

void ProgressLine::update(int block, int of)
{
    const Clock::time_point now = Clock::now();
    if (now - started_ < kShowAfter)
        return;
    const std::string text = "  block " + std::to_string(block) + " of " + std::to_string(of);
    if (terminal_) {
        out_ << '\r' << text << "   " << std::flush;
        shown_ = true;
    } else if (now - last_line_ >= kPlainLineEvery) {
        out_ << text << std::endl;
        last_line_ = now;
    }
}

void ProgressLine::clear()
{
    if (shown_)
        out_ << "\r\033[K" << std::flush;
    shown_ = false;
}

}  // namespace xk83t_host
