#pragma once

// What every benchmark shares: a host that does nothing, a clock that moves
// one second per cycle (so every cycle is a newer one and the document is
// due again), a silenced std::cout, the replies of one polling cycle and the
// rule sets of each alarm mode.

#include <device/clock.h>
#include <device/xk83t.h>
#include <host/host_services.h>

#include <ctime>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

namespace xk83t_bench {

// Accepts every call; the plug-in's own work is all that is measured.
class QuietHost : public HostServices {};

class NullBuf : public std::streambuf {
protected:
    int overflow(int ch) override { return traits_type::not_eof(ch); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// The plug-in writes its console lines while this lives; the benchmark
// reporters write to std::cout between runs, so it is held per run only.
class QuietCout {
public:
    QuietCout() : saved_(std::cout.rdbuf(&sink_)) {}
    ~QuietCout() { std::cout.rdbuf(saved_); }
    QuietCout(const QuietCout&) = delete;
    QuietCout& operator=(const QuietCout&) = delete;

private:
    NullBuf sink_;
    std::streambuf* saved_;
};

// Every reading of the local time is one second after the one before.
class TickingClock : public xk83t::ClockSource {
public:
    TickingClock();
    ~TickingClock() override;
    boost::posix_time::ptime local_time() override;
    std::time_t epoch_seconds() override;

private:
    boost::posix_time::ptime now_;
    xk83t::ClockSource* previous_;
};

// Installs the quiet host and the ticking clock for as long as it lives.
class BenchProcess {
public:
    BenchProcess();
    ~BenchProcess();

private:
    QuietHost host_;
    HostServices* previous_;
    TickingClock clock_;
};

// The reply words of each read of the register plan, from a plausible
// 48 V plant; `variant` shifts the measurements a little, as successive
// cycles would.
std::vector<std::vector<unsigned short>> plant_replies(int variant);

// One whole polling cycle: RefreshStatus, then the 41 replies; the last one
// completes the cycle (RoundDone).
void run_cycle(XK83T& device, const std::vector<std::vector<unsigned short>>& replies);

// The document's numeric members with their values after a cycle over
// plant_replies(0), in the document's order: every signal a rule can name.
struct NumericSignal {
    std::string name;
    double value;
};
std::vector<NumericSignal> numeric_signals();

// Sets the alarm mode and rules on the first `ruled` signals (all of them,
// half, none: each feeder's six quantities stay together, so a part is
// like the whole). Mode 1: an AI rule each with report settings on the
// host, and the system alarm's id. Mode 3: an ALARM rule each,
// with the host's level and threshold and the alarm texts. Mode 5: the four
// limits on each. Returns the number of rules evaluated per cycle.
std::size_t install_rules(XK83T& device, int mode, std::size_t ruled, const std::vector<NumericSignal>& signals);

}  // namespace xk83t_bench
