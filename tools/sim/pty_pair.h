#pragma once

// A pseudo-terminal pair: the simulator talks on the master side, a Modbus
// master opens the slave path like any serial port.

#include <string>

namespace xk83t_sim {

class PtyPair {
public:
    // Throws std::system_error when no pseudo-terminal can be had.
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    int master_fd() const { return master_; }
    const std::string& slave_path() const { return slave_path_; }

private:
    int master_ = -1;
    // Held open so that the line survives a master that closes and reopens
    // it; without it the master side reports a hang-up until the next open.
    int slave_keeper_ = -1;
    std::string slave_path_;
};

}  // namespace xk83t_sim
