#pragma once

// Running the real programs for the end-to-end tests: the simulator as a
// child process, the host to completion, and what each left behind (the
// simulator's request log, the host's history).

#include <host/history_store.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace xk83t_e2e {

// A fresh folder, removed with its files.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string read_file(const std::string& path);

class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& argv, const std::string& out_path, const std::string& err_path);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The exit code; -1 after the time, when the child is killed.
    int wait(std::chrono::milliseconds limit);
    void terminate();  // SIGTERM, then wait
    bool running() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
    int status_ = 0;
};

struct RunResult {
    int code = -1;
    std::string out;
    std::string err;
};

RunResult run_program(const std::vector<std::string>& argv, std::chrono::milliseconds limit, const ScratchDir& dir,
                      const std::string& name);

// One request as the simulator logged it.
struct LoggedRequest {
    long n = 0;
    int function = 0;
    int start = 0;
    int count = 0;
    std::string action;  // served, dropped, corrupted, late, stalled
    std::vector<std::uint16_t> words;
};

class Simulator {
public:
    // Starts xk83t-sim with these arguments and a request log; waits for
    // the line it prints.
    Simulator(const ScratchDir& dir, const std::string& name, std::vector<std::string> arguments);
    ~Simulator();

    const std::string& endpoint() const { return endpoint_; }  // pseudo-terminal path or address:port
    int port() const;
    void stop();
    std::vector<LoggedRequest> log() const;

private:
    std::string log_path_;
    std::string endpoint_;
    std::unique_ptr<ChildProcess> process_;
};

// Register bytes 4..2577 of a record, from a run of 41 served requests
// that follow the register plan; one per complete cycle the simulator saw.
struct ServedCycle {
    long first_request;
    std::vector<unsigned char> registers;
};
std::vector<ServedCycle> served_cycles(const std::vector<LoggedRequest>& log);

std::vector<xk83t_host::HistoryRow> history_rows(const std::string& path, unsigned data_id);

// The host program with its plug-in.
std::vector<std::string> host_command(std::vector<std::string> arguments);

}  // namespace xk83t_e2e
