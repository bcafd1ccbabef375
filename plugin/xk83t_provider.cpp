#include "get_providers.h"
#include "xk83t_provider.h"

#include <device/xk83t.h>

XK83TProvider::~XK83TProvider() = default;

SMDVDevice* XK83TProvider::create() const
{
    return new XK83T();
}

std::vector<std::shared_ptr<Provider>> get_providers()
{
    std::vector<std::shared_ptr<Provider>> providers;
    std::shared_ptr<Provider> provider = std::make_shared<XK83TProvider>();
    providers.push_back(provider);
    return providers;
}
