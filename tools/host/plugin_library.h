#pragma once

// A device plug-in loaded by path: dlopen, then its providers from the
// exported get_providers. Devices it creates must be destroyed before the
// library is closed.

#include <host/provider.h>
#include <host/vdevice.h>

#include <memory>
#include <string>
#include <vector>

namespace xk83t_host {

struct DeviceDeleter {
    void operator()(SMDVDevice* device) const { delete device; }
};
using DevicePtr = std::unique_ptr<SMDVDevice, DeviceDeleter>;

// The folder of the running program.
std::string executable_dir();

class PluginLibrary {
public:
    // Throws std::runtime_error with the loader's message.
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // One new device from the first device provider.
    DevicePtr create_device() const;
    const std::string& path() const { return path_; }

    // Where the plug-in is looked for when no path is given, in order:
    // beside the executable, then in ../lib/xk83t/ from it.
    static std::vector<std::string> default_candidates();
    // The first candidate that exists; empty when there is none.
    static std::string find_default();

private:
    std::string path_;
    void* handle_ = nullptr;
    std::vector<std::shared_ptr<Provider>> providers_;
};

}  // namespace xk83t_host
