#pragma once

// The working directory of a run. The plug-in looks for rule files under
// "./ini/", so a run works in a directory of its own: a fresh temporary one
// (removed afterwards) unless the caller names one. The process's previous
// working directory comes back when the session ends.

#include <filesystem>
#include <string>

namespace xk83t_replay {

class WorkdirSession {
public:
    // An empty `dir` asks for a fresh temporary directory. Throws
    // std::filesystem::filesystem_error or std::runtime_error on failure.
    explicit WorkdirSession(const std::string& dir);
    ~WorkdirSession();
    WorkdirSession(const WorkdirSession&) = delete;
    WorkdirSession& operator=(const WorkdirSession&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
    bool temporary_;
};

// A path a scenario may write or remove: relative, and not climbing out of
// the working directory. The message says why not, empty when it may.
std::string check_relative_path(const std::string& path);

}  // namespace xk83t_replay
