#pragma once

// Host side for tests that drive one device from several threads: a console
// capture and a host whose calls only count, both safe to use from any thread.

#include <host/host_services.h>

#include <atomic>
#include <iostream>
#include <map>
#include <mutex>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

namespace xk83t_test {

// Console capture for several threads: each thread's characters gather
// into its own line, so lines written at the same time stay whole.
class SharedConsole : public std::streambuf {
public:
    SharedConsole() : saved_(std::cout.rdbuf(this)) {}
    ~SharedConsole() override { std::cout.rdbuf(saved_); }

    std::size_t count(const std::string& line) const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::size_t n = 0;
        for (const std::string& l : lines_)
            n += l == line;
        return n;
    }
    std::size_t size() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_.size();
    }

protected:
    int overflow(int ch) override
    {
        if (ch == traits_type::eof())
            return traits_type::not_eof(ch);
        std::lock_guard<std::mutex> lock(mutex_);
        std::string& line = partial_[std::this_thread::get_id()];
        if (ch == '\n') {
            lines_.push_back(line);
            line.clear();
        } else {
            line.push_back(static_cast<char>(ch));
        }
        return ch;
    }

private:
    mutable std::mutex mutex_;
    std::map<std::thread::id, std::string> partial_;
    std::vector<std::string> lines_;
    std::streambuf* saved_;
};

// Counts what is published; every other host call does nothing.
class PublishCounter : public HostServices {
public:
    PublishCounter() : previous_(set_host_services(this)) {}
    ~PublishCounter() override { set_host_services(previous_); }
    void send_sp(SMDVDevice&, int, const unsigned char*, unsigned int, bool) override { ++published; }

    std::atomic<int> published{0};

private:
    HostServices* previous_;
};

}  // namespace xk83t_test
