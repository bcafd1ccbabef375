#include "plugin_library.h"

#include <plugin/get_providers.h>

#include <dlfcn.h>
#include <limits.h>
#include <stdexcept>
#include <unistd.h>

namespace xk83t_host {

std::string executable_dir()
{
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    std::string exe(path, static_cast<std::size_t>(n));
    const auto slash = exe.rfind('/');
    return slash == std::string::npos ? "." : exe.substr(0, slash);
}

PluginLibrary::PluginLibrary(const std::string& path) : path_(path)
{
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_)
        throw std::runtime_error(std::string("cannot load the plug-in: ") + dlerror());
    auto entry = reinterpret_cast<GetProvidersFn>(dlsym(handle_, "get_providers"));
    if (!entry) {
        const std::string why = dlerror();
        dlclose(handle_);
        throw std::runtime_error(path + " has no get_providers: " + why);
    }
    providers_ = entry();
}

PluginLibrary::~PluginLibrary()
{
    providers_.clear();
    if (handle_)
        dlclose(handle_);
}

DevicePtr PluginLibrary::create_device() const
{
    for (const auto& provider : providers_)
        if (const auto* device_provider = dynamic_cast<const SMDSPDeviceProvider*>(provider.get()))
            return DevicePtr(device_provider->create());
    throw std::runtime_error(path_ + " provides no device");
}

std::vector<std::string> PluginLibrary::default_candidates()
{
    const std::string dir = executable_dir();
    return {dir + "/xk83t.so", dir + "/../lib/xk83t/xk83t.so"};
}

std::string PluginLibrary::find_default()
{
    for (const std::string& candidate : default_candidates())
        if (access(candidate.c_str(), R_OK) == 0)
            return candidate;
    return {};
}

}  // namespace xk83t_host
