#pragma once

// A fresh, empty working directory for the life of the object, so that the
// plug-in's relative "./ini/" lookups only see files the test wrote.

#include <filesystem>
#include <fstream>
#include <string>

#include <stdlib.h>
#include <unistd.h>

namespace xk83t_test {

class TempWorkdir {
public:
    TempWorkdir() : previous_(std::filesystem::current_path())
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "xk83t-test-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
        std::filesystem::current_path(path_);
    }
    ~TempWorkdir()
    {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempWorkdir(const TempWorkdir&) = delete;
    TempWorkdir& operator=(const TempWorkdir&) = delete;

    // Writes a file relative to the directory, creating its folders.
    void write(const std::string& relative, const std::string& text) const
    {
        const std::filesystem::path file = path_ / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }
    void remove(const std::string& relative) const { std::filesystem::remove(path_ / relative); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

}  // namespace xk83t_test
