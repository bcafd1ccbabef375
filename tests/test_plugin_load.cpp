// Loads the built xk83t.so the way the host does: this executable supplies
// the host's symbols, the library is found by path and entered by name.

#include "support/fixtures.h"
#include "support/recording_host.h"

#include <host/provider.h>
#include <plugin/get_providers.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

using namespace xk83t_test;

namespace {

TEST(PluginLoad, HostLoadsTheLibraryAndCompletesACycle)
{
    void* handle = dlopen(XK83T_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    auto entry = reinterpret_cast<GetProvidersFn>(dlsym(handle, "get_providers"));
    ASSERT_NE(entry, nullptr) << dlerror();
    {
        auto providers = entry();
        ASSERT_EQ(providers.size(), 1u);
        auto* provider = dynamic_cast<SMDSPDeviceProvider*>(providers[0].get());
        ASSERT_NE(provider, nullptr);

        RecordingHost host;
        SMDVDevice* created = provider->create();
        auto* device = dynamic_cast<SPModbus*>(created);
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(device->DeviceType(), "xk83t");
        device->data_id_ = 3;
        device->InitSetting(Json::Value(Json::objectValue));

        RegisterImage image = patterned_image();
        device->RefreshStatus();
        EXPECT_EQ(host.pump(*device, image), 41);
        ASSERT_EQ(host.of("send_sp").size(), 1u);
        const auto sent = host.of("send_sp")[0].bytes;
        const auto expected = expected_record(image, 3);
        EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + 2578, sent.begin()));
        EXPECT_EQ(host.of("save_history").size(), 1u);
        delete created;
    }
    EXPECT_EQ(dlclose(handle), 0);
}

}  // namespace
