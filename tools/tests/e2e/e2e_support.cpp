#include "e2e_support.h"

#include <acquisition/record.h>
#include <acquisition/register_plan.h>

#include <json/reader.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace xk83t_e2e {

ScratchDir::ScratchDir()
{
    char pattern[] = "/tmp/xk83t-e2e-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchDir::~ScratchDir()
{
    if (DIR* d = opendir(path_.c_str())) {
        while (dirent* e = readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                unlink(file(e->d_name).c_str());
        closedir(d);
    }
    rmdir(path_.c_str());
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& out_path,
                           const std::string& err_path)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const int rc = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(rc));
}

ChildProcess::~ChildProcess()
{
    terminate();
}

int ChildProcess::wait(std::chrono::milliseconds limit)
{
    const auto give_up = std::chrono::steady_clock::now() + limit;
    while (pid_ > 0) {
        const pid_t done = waitpid(pid_, &status_, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            break;
        }
        if (std::chrono::steady_clock::now() > give_up) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status_, 0);
            pid_ = -1;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

void ChildProcess::terminate()
{
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    wait(std::chrono::milliseconds(3000));
}

RunResult run_program(const std::vector<std::string>& argv, std::chrono::milliseconds limit, const ScratchDir& dir,
                      const std::string& name)
{
    const std::string out = dir.file(name + ".out");
    const std::string err = dir.file(name + ".err");
    RunResult result;
    {
        ChildProcess child(argv, out, err);
        result.code = child.wait(limit);
    }
    result.out = read_file(out);
    result.err = read_file(err);
    return result;
}

Simulator::Simulator(const ScratchDir& dir, const std::string& name, std::vector<std::string> arguments)
    : log_path_(dir.file(name + ".log"))
{
    std::vector<std::string> argv{XK83T_SIM_EXE, "--log", log_path_};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const std::string out = dir.file(name + ".out");
    process_ = std::make_unique<ChildProcess>(argv, out, dir.file(name + ".err"));
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < give_up) {
        const std::string text = read_file(out);
        const auto end = text.find('\n');
        if (end != std::string::npos) {
            endpoint_ = text.substr(text.rfind(' ', end) + 1, end - text.rfind(' ', end) - 1);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    throw std::runtime_error("the simulator did not start: " + read_file(dir.file(name + ".err")));
}

Simulator::~Simulator()
{
    stop();
}

int Simulator::port() const
{
    return std::atoi(endpoint_.substr(endpoint_.rfind(':') + 1).c_str());
}

void Simulator::stop()
{
    if (process_)
        process_->terminate();
}

std::vector<LoggedRequest> Simulator::log() const
{
    std::vector<LoggedRequest> requests;
    std::istringstream in(read_file(log_path_));
    Json::CharReaderBuilder builder;
    for (std::string line; std::getline(in, line);) {
        Json::Value v;
        std::string errors;
        std::istringstream one(line);
        if (!Json::parseFromStream(builder, one, &v, &errors))
            throw std::runtime_error("bad log line: " + line);
        LoggedRequest r;
        r.n = v["n"].asInt64();
        r.function = v["function"].asInt();
        r.start = v["start"].asInt();
        r.count = v["count"].asInt();
        r.action = v["action"].asString();
        for (const Json::Value& w : v["words"])
            r.words.push_back(static_cast<std::uint16_t>(w.asUInt()));
        requests.push_back(r);
    }
    return requests;
}

std::vector<ServedCycle> served_cycles(const std::vector<LoggedRequest>& log)
{
    std::vector<ServedCycle> cycles;
    const std::size_t reads = xk83t::kRegisterPlan.size();
    for (std::size_t i = 0; i + reads <= log.size();) {
        bool complete = true;
        for (std::size_t k = 0; k < reads && complete; ++k) {
            const LoggedRequest& r = log[i + k];
            complete = r.action == "served" && r.function == 3 && r.start == xk83t::kRegisterPlan[k].start &&
                       r.count == xk83t::kRegisterPlan[k].count &&
                       r.words.size() == static_cast<std::size_t>(r.count);
        }
        if (!complete) {
            ++i;
            continue;
        }
        ServedCycle cycle{log[i].n, std::vector<unsigned char>(xk83t::kRecordSize, 0)};
        for (std::size_t k = 0; k < reads; ++k) {
            const LoggedRequest& r = log[i + k];
            for (int w = 0; w < r.count; ++w) {
                const std::uint16_t word = r.words[static_cast<std::size_t>(w)];
                std::memcpy(cycle.registers.data() + xk83t::record_offset(r.start + w), &word, 2);
            }
        }
        cycle.registers = std::vector<unsigned char>(cycle.registers.begin() + 4,
                                                     cycle.registers.begin() + offsetof(XK83T_Data_t, update_time));
        cycles.push_back(std::move(cycle));
        i += reads;
    }
    return cycles;
}

std::vector<xk83t_host::HistoryRow> history_rows(const std::string& path, unsigned data_id)
{
    if (access(path.c_str(), F_OK) != 0)
        return {};
    return xk83t_host::HistoryStore(path).rows(data_id);
}

std::vector<std::string> host_command(std::vector<std::string> arguments)
{
    std::vector<std::string> argv{XK83T_HOST_EXE};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    argv.push_back("--plugin");
    argv.push_back(XK83T_PLUGIN_PATH);
    return argv;
}

}  // namespace xk83t_e2e
