#pragma once

#include "device/CCyUSBEndPoint.h"

// A bulk endpoint: direct transfers into the caller's buffer, or buffered
// ones through the request block on old drivers.
class CCyBulkEndPoint : public CCyUSBEndPoint
{
public:
    using CCyUSBEndPoint::CCyUSBEndPoint;
};
