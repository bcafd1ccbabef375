#pragma once

#include <host/provider.h>

class XK83TProvider : public SMDSPDeviceProvider {
public:
    ~XK83TProvider() override;
    SMDVDevice* create() const override;
};
