#pragma once

#include "host_api.h"

class SMDVDevice;

class HOST_API Provider {
public:
    virtual ~Provider();
};

class HOST_API SMDSPDeviceProvider : public Provider {
public:
    ~SMDSPDeviceProvider() override;
    virtual SMDVDevice* create() const = 0;
};
