#pragma once

#include <host/provider.h>

#include <memory>
#include <vector>

// The plug-in's one exported symbol, looked up by the host by this name.
extern "C" __attribute__((visibility("default"))) std::vector<std::shared_ptr<Provider>> get_providers();

using GetProvidersFn = std::vector<std::shared_ptr<Provider>> (*)();
