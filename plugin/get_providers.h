#pragma once

#include <host/provider.h>

#include <memory>
#include <vector>

// The plug-in's one exported symbol, looked up by the host by this name: C
// linkage keeps the name undecorated, while host and plug-in share the C++
// return type.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif
extern "C" __attribute__((visibility("default"))) std::vector<std::shared_ptr<Provider>> get_providers();
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

using GetProvidersFn = std::vector<std::shared_ptr<Provider>> (*)();
