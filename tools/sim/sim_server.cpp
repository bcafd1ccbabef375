#include "sim_server.h"

#include <json/writer.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/select.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace xk83t_sim {

namespace {

constexpr int kPollSliceUs = 200000;

std::runtime_error modbus_failure(const std::string& what)
{
    return std::runtime_error(what + ": " + modbus_strerror(errno));
}

bool write_all(int fd, const std::uint8_t* bytes, std::size_t length, bool socket)
{
    while (length > 0) {
        const ssize_t n = socket ? send(fd, bytes, length, MSG_NOSIGNAL) : write(fd, bytes, length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

bool is_write(int function)
{
    return function == MODBUS_FC_WRITE_SINGLE_REGISTER || function == MODBUS_FC_WRITE_MULTIPLE_REGISTERS;
}

std::string one_line(const Json::Value& value)
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    return Json::writeString(builder, value);
}

}  // namespace

std::uint16_t pattern_word(int reg, long request)
{
    // 40503 is odd, so two requests less than 65536 apart always differ.
    const std::uint32_t r = static_cast<std::uint32_t>(reg) * 0x9E37u + 0x5BD1u;
    const std::uint32_t n = static_cast<std::uint32_t>(request) * 40503u;
    return static_cast<std::uint16_t>((r ^ n) & 0xFFFFu);
}

SimServer::SimServer(ServerSettings settings, FaultSettings faults, PlantModel model)
    : settings_(std::move(settings)), faults_(faults), model_(std::move(model)), last_advance_(Clock::now())
{
}

SimServer::~SimServer()
{
    for (int fd : clients_)
        close(fd);
    if (listen_fd_ >= 0)
        close(listen_fd_);
    for (int fd : capture_fds_)
        if (fd >= 0)
            close(fd);
    if (capture_)
        modbus_free(capture_);
    if (ctx_)
        modbus_free(ctx_);
    if (measurement_map_)
        modbus_mapping_free(measurement_map_);
    if (state_map_)
        modbus_mapping_free(state_map_);
    if (!settings_.link_path.empty())
        unlink(settings_.link_path.c_str());
}

std::string SimServer::open()
{
    measurement_map_ = modbus_mapping_new_start_address(0, 0, 0, 0, kMeasurementArea.first, kMeasurementArea.count, 0, 0);
    state_map_ = modbus_mapping_new_start_address(0, 0, 0, 0, kStateArea.first, kStateArea.count, 0, 0);
    if (!measurement_map_ || !state_map_)
        throw modbus_failure("register map");
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, capture_fds_) != 0)
        throw std::runtime_error(std::string("socketpair: ") + std::strerror(errno));
    if (!settings_.log_path.empty()) {
        log_.open(settings_.log_path, std::ios::out | std::ios::trunc);
        if (!log_)
            throw std::runtime_error("cannot write the log " + settings_.log_path);
    }

    std::string endpoint;
    if (settings_.transport == ServerSettings::Transport::Rtu) {
        pty_ = std::make_unique<PtyPair>();
        ctx_ = modbus_new_rtu(pty_->slave_path().c_str(), settings_.baud, settings_.parity, 8, settings_.stop_bits);
        capture_ = modbus_new_rtu("/dev/null", settings_.baud, settings_.parity, 8, settings_.stop_bits);
        if (!ctx_ || !capture_)
            throw modbus_failure("RTU context");
        modbus_set_slave(ctx_, settings_.unit);
        modbus_set_slave(capture_, settings_.unit);
        modbus_set_socket(ctx_, pty_->master_fd());
        endpoint = pty_->slave_path();
        if (!settings_.link_path.empty()) {
            unlink(settings_.link_path.c_str());
            if (symlink(endpoint.c_str(), settings_.link_path.c_str()) != 0)
                throw std::runtime_error("cannot link " + settings_.link_path + ": " + std::strerror(errno));
        }
    } else {
        ctx_ = modbus_new_tcp(settings_.tcp_address.c_str(), settings_.tcp_port);
        capture_ = modbus_new_tcp("127.0.0.1", 502);
        if (!ctx_ || !capture_)
            throw modbus_failure("TCP context");
        listen_fd_ = modbus_tcp_listen(ctx_, 8);
        if (listen_fd_ < 0)
            throw modbus_failure("listen on " + settings_.tcp_address + ":" + std::to_string(settings_.tcp_port));
        sockaddr_in bound{};
        socklen_t size = sizeof bound;
        getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&bound), &size);
        endpoint = settings_.tcp_address + ":" + std::to_string(ntohs(bound.sin_port));
    }
    modbus_set_indication_timeout(ctx_, 0, kPollSliceUs);
    modbus_set_socket(capture_, capture_fds_[0]);
    return endpoint;
}

void SimServer::serve(const std::atomic<bool>& stop)
{
    if (settings_.transport == ServerSettings::Transport::Rtu)
        serve_rtu(stop);
    else
        serve_tcp(stop);
}

void SimServer::serve_rtu(const std::atomic<bool>& stop)
{
    std::uint8_t request[MODBUS_RTU_MAX_ADU_LENGTH];
    while (!stop.load()) {
        const int rc = modbus_receive(ctx_, request);
        if (rc > 0) {
            handle(pty_->master_fd(), request, rc);
        } else if (rc < 0 && errno != ETIMEDOUT && errno != EMBBADCRC && errno != EMBBADDATA) {
            // A line error that repeats at once (no master attached, say):
            // do not spin on it.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
}

void SimServer::serve_tcp(const std::atomic<bool>& stop)
{
    std::uint8_t request[MODBUS_TCP_MAX_ADU_LENGTH];
    while (!stop.load()) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listen_fd_, &readable);
        int highest = listen_fd_;
        for (int fd : clients_) {
            FD_SET(fd, &readable);
            highest = std::max(highest, fd);
        }
        timeval slice{0, kPollSliceUs};
        const int ready = select(highest + 1, &readable, nullptr, nullptr, &slice);
        if (ready <= 0)
            continue;
        if (FD_ISSET(listen_fd_, &readable)) {
            const int client = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0)
                clients_.push_back(client);
        }
        for (auto it = clients_.begin(); it != clients_.end();) {
            if (!FD_ISSET(*it, &readable)) {
                ++it;
                continue;
            }
            modbus_set_socket(ctx_, *it);
            const int rc = modbus_receive(ctx_, request);
            if (rc > 0)
                handle(*it, request, rc);
            if (rc < 0 && errno != EMBBADDATA) {
                close(*it);
                it = clients_.erase(it);
            } else {
                ++it;
            }
        }
    }
}

void SimServer::refresh_image(long request)
{
    if (settings_.pattern) {
        for (const RegisterArea& area : kAreas)
            for (int r = area.first; r < area.first + area.count; ++r)
                image_.put(r, pattern_word(r, request));
        return;
    }
    std::lock_guard<std::mutex> lock(model_mutex_);
    const Clock::time_point now = Clock::now();
    if (!settings_.frozen)
        model_.advance(std::chrono::duration<double>(now - last_advance_).count());
    last_advance_ = now;
    model_.write(image_);
}

std::vector<std::uint8_t> SimServer::build_reply(const std::uint8_t* request, int length, modbus_mapping_t* mapping)
{
    const int size = modbus_reply(capture_, request, length, mapping);
    std::vector<std::uint8_t> frame(size > 0 ? static_cast<std::size_t>(size) : 0);
    std::size_t got = 0;
    while (got < frame.size()) {
        const ssize_t n = read(capture_fds_[1], frame.data() + got, frame.size() - got);
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    frame.resize(got);
    return frame;
}

void SimServer::corrupt(std::vector<std::uint8_t>& frame) const
{
    if (frame.size() < 3)
        return;
    if (settings_.transport == ServerSettings::Transport::Rtu)
        frame[frame.size() - 3] ^= 0x10;  // a flipped data bit: the CRC no longer matches
    else
        frame[0] ^= 0x5A;  // TCP carries no checksum: a foreign transaction id stands for the damage
}

SimServer::Clock::duration SimServer::line_time(std::size_t bytes) const
{
    if (settings_.transport != ServerSettings::Transport::Rtu || !settings_.line_time || settings_.baud <= 0)
        return Clock::duration::zero();
    const int bits = 1 + 8 + (settings_.parity == 'N' ? 0 : 1) + settings_.stop_bits;
    const double seconds = (static_cast<double>(bytes) + 3.5) * bits / settings_.baud;
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

void SimServer::handle(int fd, const std::uint8_t* request, int length)
{
    const long n = ++requests_;
    const int header = modbus_get_header_length(ctx_);
    const int function = request[header];
    const int address = (request[header + 1] << 8) | request[header + 2];
    const bool counted = function == MODBUS_FC_READ_HOLDING_REGISTERS || function == MODBUS_FC_READ_INPUT_REGISTERS ||
                         function == MODBUS_FC_WRITE_MULTIPLE_REGISTERS;
    const int count = counted ? ((request[header + 3] << 8) | request[header + 4]) : 1;
    const bool tcp = settings_.transport == ServerSettings::Transport::Tcp;

    Json::Value entry(Json::objectValue);
    entry["n"] = static_cast<Json::Int64>(n);
    entry["function"] = function;
    entry["start"] = address;
    entry["count"] = count;

    // On RTU libmodbus already passes over requests for other slaves.
    const bool for_us = !tcp || request[header - 1] == settings_.unit;
    const FaultAction action = for_us ? faults_.decide(n, Clock::now()) : FaultAction::Drop;
    entry["action"] = for_us ? action_name(action) : "other unit";

    if (action == FaultAction::Serve || action == FaultAction::Corrupt || action == FaultAction::Delay) {
        std::vector<std::uint8_t> frame;
        refresh_image(n);
        std::copy(image_.measurements(), image_.measurements() + kMeasurementArea.count, measurement_map_->tab_registers);
        std::copy(image_.states(), image_.states() + kStateArea.count, state_map_->tab_registers);
        modbus_mapping_t* mapping = kStateArea.contains(address) ? state_map_ : measurement_map_;
        frame = build_reply(request, length, mapping);

        if (frame.size() > static_cast<std::size_t>(header + 1)) {
            const int answered = frame[header];
            if (answered & 0x80) {
                entry["exception"] = frame[header + 1];
            } else if (answered == MODBUS_FC_READ_HOLDING_REGISTERS) {
                Json::Value words(Json::arrayValue);
                for (int i = 0; i < frame[header + 1] / 2; ++i)
                    words.append((frame[header + 2 + 2 * i] << 8) | frame[header + 3 + 2 * i]);
                entry["words"] = words;
            } else if (is_write(answered)) {
                std::lock_guard<std::mutex> lock(model_mutex_);
                modbus_mapping_t* written = kStateArea.contains(address) ? state_map_ : measurement_map_;
                for (int r = address; r < address + count; ++r)
                    model_.pin(r, written->tab_registers[r - written->start_registers]);
            }
        }
        if (action == FaultAction::Corrupt)
            corrupt(frame);
        Clock::duration wait = line_time(static_cast<std::size_t>(length) + frame.size());
        if (action == FaultAction::Delay)
            wait += faults_.delay();
        std::this_thread::sleep_for(wait);
        write_all(fd, frame.data(), frame.size(), tcp);
    }

    if (settings_.verbose)
        std::cerr << "xk83t-sim: #" << n << " function " << function << " " << address << "+" << count << " "
                  << entry["action"].asString() << std::endl;
    if (log_.is_open())
        log_ << one_line(entry) << std::endl;
}

}  // namespace xk83t_sim
