#pragma once

// The simulated XK83T as a Modbus slave on libmodbus, on a pseudo-terminal
// (RTU) or on TCP. Every reply is built by libmodbus, then the fault plan
// decides whether it goes out as built, damaged, late, or not at all.

#include "fault_plan.h"
#include "plant_model.h"
#include "pty_pair.h"

#include <modbus/modbus.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace xk83t_sim {

struct ServerSettings {
    enum class Transport { Rtu, Tcp };
    Transport transport = Transport::Rtu;
    std::string tcp_address = "127.0.0.1";
    int tcp_port = 0;  // 0: any free port
    int unit = 1;
    int baud = 9600;
    char parity = 'N';
    int stop_bits = 1;
    // On a pseudo-terminal bytes move at once; take as long as the line
    // speed would, so that a master sees real timing.
    bool line_time = true;
    std::string link_path;  // a symbolic link to the pseudo-terminal
    std::string log_path;   // one JSON line per request
    bool frozen = false;    // values never move
    bool pattern = false;   // test pattern: every reply differs from the last
    bool verbose = false;   // one line per request on standard error
};

// The test pattern's word for a register in the reply to request n.
std::uint16_t pattern_word(int reg, long request);

class SimServer {
public:
    SimServer(ServerSettings settings, FaultSettings faults, PlantModel model = {});
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Opens the line; returns what a master connects to (the pseudo-terminal
    // path, or address:port). Throws std::runtime_error on failure.
    std::string open();
    // Serves requests until stop is set; checks it at least every 200 ms.
    void serve(const std::atomic<bool>& stop);

    template <typename F>
    void edit_model(F&& change)
    {
        std::lock_guard<std::mutex> lock(model_mutex_);
        change(model_);
    }
    long requests() const { return requests_.load(); }

private:
    using Clock = std::chrono::steady_clock;

    void serve_rtu(const std::atomic<bool>& stop);
    void serve_tcp(const std::atomic<bool>& stop);
    void handle(int fd, const std::uint8_t* request, int length);
    std::vector<std::uint8_t> build_reply(const std::uint8_t* request, int length, modbus_mapping_t* mapping);
    void refresh_image(long request);
    void corrupt(std::vector<std::uint8_t>& frame) const;
    Clock::duration line_time(std::size_t bytes) const;

    ServerSettings settings_;
    FaultPlan faults_;
    std::mutex model_mutex_;
    PlantModel model_;
    Clock::time_point last_advance_;
    RegisterImage image_;

    std::unique_ptr<PtyPair> pty_;
    modbus_t* ctx_ = nullptr;
    modbus_t* capture_ = nullptr;
    int capture_fds_[2] = {-1, -1};
    int listen_fd_ = -1;
    std::vector<int> clients_;
    modbus_mapping_t* measurement_map_ = nullptr;
    modbus_mapping_t* state_map_ = nullptr;
    std::ofstream log_;
    std::atomic<long> requests_{0};
};

}  // namespace xk83t_sim
