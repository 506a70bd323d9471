#pragma once

#include "device/CCyUSBEndPoint.h"

// An interrupt endpoint; transfers as on a bulk endpoint.
class CCyInterruptEndPoint : public CCyUSBEndPoint
{
public:
    using CCyUSBEndPoint::CCyUSBEndPoint;
};
