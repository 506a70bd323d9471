#include "device/CCyUSBInterface.h"

#include "device/CCyBulkEndPoint.h"
#include "device/CCyControlEndPoint.h"
#include "device/CCyInterruptEndPoint.h"
#include "device/CCyIsocEndPoint.h"

CCyUSBInterface::CCyUSBInterface(std::span<const uint8_t> descriptor)
{
    if (descriptor.size() < 9)
        return;
    bLength = descriptor[0];
    bDescriptorType = descriptor[1];
    bInterfaceNumber = descriptor[2];
    bAlternateSetting = descriptor[3];
    bNumEndpoints = descriptor[4];
    bInterfaceClass = descriptor[5];
    bInterfaceSubClass = descriptor[6];
    bInterfaceProtocol = descriptor[7];
    iInterface = descriptor[8];
}

bool CCyUSBInterface::AddEndPoint(UsbDriverHandle *handle, std::span<const uint8_t> descriptor)
{
    if (EndPoints.size() >= MaxEndPoints || descriptor.size() < 7)
        return false;
    switch (descriptor[3] & 3) {
    case CCyUSBEndPoint::Control:
        EndPoints.push_back(std::make_unique<CCyControlEndPoint>(handle, descriptor));
        break;
    case CCyUSBEndPoint::Isochronous:
        EndPoints.push_back(std::make_unique<CCyIsocEndPoint>(handle, descriptor));
        break;
    case CCyUSBEndPoint::Bulk:
        EndPoints.push_back(std::make_unique<CCyBulkEndPoint>(handle, descriptor));
        break;
    default:
        EndPoints.push_back(std::make_unique<CCyInterruptEndPoint>(handle, descriptor));
        break;
    }
    return true;
}
