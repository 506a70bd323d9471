#include "device/DriverRequestBlock.h"

#include <algorithm>

namespace {

void Put16(std::span<uint8_t> out, size_t at, uint16_t v)
{
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::span<uint8_t> out, size_t at, uint32_t v)
{
    for (size_t i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint16_t Get16(std::span<const uint8_t> in, size_t at)
{
    return static_cast<uint16_t>(in[at] | in[at + 1] << 8);
}

uint32_t Get32(std::span<const uint8_t> in, size_t at)
{
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i)
        v |= uint32_t{in[at + i]} << (8 * i);
    return v;
}

} // namespace

uint8_t DriverRequestBlock::RequestType(uint8_t direction, uint8_t type, uint8_t recipient)
{
    return static_cast<uint8_t>((direction & 1) << 7 | (type & 3) << 5 | (recipient & 0x1F));
}

uint32_t DriverRequestBlock::ControlTimeoutSeconds(uint32_t timeoutMs)
{
    if (timeoutMs > 0 && timeoutMs < 1000)
        return 1;
    return timeoutMs / 1000;
}

bool DriverRequestBlock::Write(std::span<uint8_t> out) const
{
    if (out.size() < HeaderSize)
        return false;
    out[0] = bmRequestType;
    out[1] = bRequest;
    Put16(out, 2, wValue);
    Put16(out, 4, wIndex);
    Put16(out, 6, wLength);
    Put32(out, 8, TimeoutSeconds);
    out[12] = Reserved;
    out[13] = EndpointAddress;
    Put32(out, 14, NtStatus);
    Put32(out, 18, UsbdStatus);
    Put32(out, 22, IsoPacketOffset);
    Put32(out, 26, IsoPacketLength);
    Put32(out, 30, DataOffset);
    Put32(out, 34, DataLength);
    return true;
}

std::optional<DriverRequestBlock> DriverRequestBlock::Read(std::span<const uint8_t> in)
{
    if (in.size() < HeaderSize)
        return std::nullopt;
    DriverRequestBlock b;
    b.bmRequestType = in[0];
    b.bRequest = in[1];
    b.wValue = Get16(in, 2);
    b.wIndex = Get16(in, 4);
    b.wLength = Get16(in, 6);
    b.TimeoutSeconds = Get32(in, 8);
    b.Reserved = in[12];
    b.EndpointAddress = in[13];
    b.NtStatus = Get32(in, 14);
    b.UsbdStatus = Get32(in, 18);
    b.IsoPacketOffset = Get32(in, 22);
    b.IsoPacketLength = Get32(in, 26);
    b.DataOffset = Get32(in, 30);
    b.DataLength = Get32(in, 34);
    return b;
}

void DriverRequestBlock::WriteStatus(std::span<uint8_t> out, uint32_t ntStatus, uint32_t usbdStatus)
{
    if (out.size() < HeaderSize)
        return;
    Put32(out, 14, ntStatus);
    Put32(out, 18, usbdStatus);
}

std::span<uint8_t> DriverRequestBlock::Data(std::span<uint8_t> block) const
{
    if (DataOffset == 0 || DataOffset >= block.size())
        return {};
    const size_t length = std::min<size_t>(DataLength, block.size() - DataOffset);
    return block.subspan(DataOffset, length);
}
