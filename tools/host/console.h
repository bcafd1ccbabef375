#pragma once

// The host's terminal. The plug-in writes its console lines to std::cout;
// the host shows them marked as the plug-in's (or hides them), and keeps its
// own output on a stream of its own, so that with --json standard output
// carries nothing but documents.

#include <chrono>
#include <functional>
#include <ostream>
#include <streambuf>
#include <string>

namespace xk83t_host {

// Takes over std::cout while it lives: every line written there goes to
// target with a prefix, or nowhere when target is null.
class PluginConsole : public std::streambuf {
public:
    PluginConsole(std::streambuf* target, std::string prefix);
    ~PluginConsole() override;
    PluginConsole(const PluginConsole&) = delete;
    PluginConsole& operator=(const PluginConsole&) = delete;

    // Called before each line is shown (to clear a progress line).
    std::function<void()> before_line;

protected:
    int overflow(int ch) override;
    int sync() override;

private:
    void emit();

    std::streambuf* target_;
    std::string prefix_;
    std::string line_;
    std::streambuf* saved_;
};

// "block n of 41" while a cycle takes long: rewritten in place on a
// terminal, an occasional plain line elsewhere.
class ProgressLine {
public:
    using Clock = std::chrono::steady_clock;

    ProgressLine(std::ostream& out, bool terminal);

    void start();
    void update(int block, int of);
    void clear();

private:
    std::ostream& out_;
    bool terminal_;
    bool shown_ = false;
    Clock::time_point started_{};
    Clock::time_point last_line_{};
};

}  // namespace xk83t_host
