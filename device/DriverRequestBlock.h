#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// Request codes of the USB driver (device type 0x22, function in bits 2..13).
namespace DriverCode {
inline constexpr uint32_t GetDriverVersion = 0x220000;
inline constexpr uint32_t GetUsbdiVersion = 0x220004;
inline constexpr uint32_t GetAltInterface = 0x220008;
inline constexpr uint32_t GetAddress = 0x220010;
inline constexpr uint32_t SendEp0Control = 0x220020;
inline constexpr uint32_t SendNonEp0 = 0x220024;
inline constexpr uint32_t ResetParentPort = 0x220030;
inline constexpr uint32_t GetDeviceName = 0x22003C;
inline constexpr uint32_t GetFriendlyName = 0x220040;
inline constexpr uint32_t AbortPipe = 0x220044;
inline constexpr uint32_t SendNonEp0Direct = 0x22004B;
inline constexpr uint32_t GetSpeed = 0x22004C;
} // namespace DriverCode

// The request block handed to the driver for every transfer: a packed
// 38-byte little-endian header, followed by the data (control and buffered
// transfers) or by an isochronous packet table and the data. The driver
// fills in the two status words on completion.
class DriverRequestBlock
{
public:
    static constexpr size_t HeaderSize = 38;

    // Request type byte of a control transfer: direction in bit 7 (1 = IN),
    // type in bits 5..6 (0 standard, 1 class, 2 vendor), recipient in 0..4.
    static uint8_t RequestType(uint8_t direction, uint8_t type, uint8_t recipient);
    // The driver takes control time-outs in whole seconds; anything from 1 to
    // 999 ms still has to wait, so it becomes one second.
    static uint32_t ControlTimeoutSeconds(uint32_t timeoutMs);

    // Writes the header into the first HeaderSize bytes of `out`; false when
    // `out` is too short.
    bool Write(std::span<uint8_t> out) const;
    // Reads a header; nothing when fewer than HeaderSize bytes are given.
    static std::optional<DriverRequestBlock> Read(std::span<const uint8_t> in);
    // Rewrites only the two status words of a header already in `out`.
    static void WriteStatus(std::span<uint8_t> out, uint32_t ntStatus, uint32_t usbdStatus);

    // The data that follows the header in `block` according to DataOffset and
    // DataLength, clipped to the block: a corrupt header never reaches past it.
    std::span<uint8_t> Data(std::span<uint8_t> block) const;

    uint8_t bmRequestType = 0;
    uint8_t bRequest = 0;
    uint16_t wValue = 0;
    uint16_t wIndex = 0;
    uint16_t wLength = 0;
    uint32_t TimeoutSeconds = 0;
    uint8_t Reserved = 0;
    uint8_t EndpointAddress = 0;
    uint32_t NtStatus = 0;
    uint32_t UsbdStatus = 0;
    uint32_t IsoPacketOffset = 0;
    uint32_t IsoPacketLength = 0;
    uint32_t DataOffset = 0;
    uint32_t DataLength = 0;
};

// Status values the driver reports.
namespace DriverStatus {
inline constexpr uint32_t Success = 0;
inline constexpr uint32_t NtUnsuccessful = 0xC0000001;
inline constexpr uint32_t NtCancelled = 0xC0000120;
inline constexpr uint32_t NtDeviceGone = 0xC000009D;
inline constexpr uint32_t UsbdStall = 0xC0000004;
inline constexpr uint32_t UsbdCancelled = 0xC0010000;
inline constexpr uint32_t UsbdDeviceGone = 0xC0007000;
inline constexpr uint32_t UsbdError = 0xC0000030;
} // namespace DriverStatus
