#include "workdir.h"

#include <cerrno>
#include <stdexcept>
#include <system_error>

#include <stdlib.h>

namespace xk83t_replay {
namespace fs = std::filesystem;

namespace {

fs::path make_temporary_directory()
{
    std::string pattern = (fs::temp_directory_path() / "xk83t-replay-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "cannot create a temporary directory");
    return pattern;
}

}  // namespace

WorkdirSession::WorkdirSession(const std::string& dir)
    : previous_(fs::current_path()), temporary_(dir.empty())
{
    if (temporary_) {
        path_ = make_temporary_directory();
    } else {
        path_ = fs::absolute(dir);
        fs::create_directories(path_);
    }
    fs::current_path(path_);
}

WorkdirSession::~WorkdirSession()
{
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    if (temporary_)
        fs::remove_all(path_, ignored);
}

std::string check_relative_path(const std::string& path)
{
    const fs::path p(path);
    if (path.empty())
        return "must not be empty";
    if (p.is_absolute())
        return "must be relative to the working directory";
    for (const auto& part : p)
        if (part == "..")
            return "must not leave the working directory";
    return {};
}

}  // namespace xk83t_replay
