#pragma once

#include "device/AnalyzerFirmware.h"
#include "device/EmulatorConfig.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct _UMockdevTestbed;
struct _UMockdevIoctlBase;
struct _UMockdevIoctlClient;
struct _UMockdevIoctlData;

// Analyzers on a umockdev test bed: each appears in sysfs as a USB device
// with its descriptors, and its usbfs node answers the requests libusb makes
// (capabilities, interface claims, URB submit, reap and discard) with the
// emulated firmware behind it. The ioctl handler runs on umockdev's thread,
// so every touch of a firmware goes through the lock.
class UmockdevAnalyzers
{
public:
    UmockdevAnalyzers(const EmulatorConfig &config, int count);
    ~UmockdevAnalyzers();
    UmockdevAnalyzers(const UmockdevAnalyzers &) = delete;
    UmockdevAnalyzers &operator=(const UmockdevAnalyzers &) = delete;

    // Runs `use` on analyzer `i` under the lock.
    void With(int i, const std::function<void(AnalyzerFirmware &)> &use);
    // The analyzer disappears: its node fails every request with ENODEV and
    // the test bed announces the removal.
    void Unplug(int i);
    // It comes back: the node answers again and the test bed announces it.
    void Plug(int i);
    int Discarded() const;

private:
    struct Device
    {
        std::unique_ptr<AnalyzerFirmware> Firmware;
        std::string SysPath;
        std::string Node;
        _UMockdevIoctlBase *Handler = nullptr;
        std::vector<_UMockdevIoctlData *> Pending;   // submitted, not answered yet
        std::vector<_UMockdevIoctlData *> Completed; // answered, not reaped yet
        std::vector<_UMockdevIoctlData *> Late;      // discarded, to complete on the next submit
        UmockdevAnalyzers *Owner = nullptr;
    };

    static int OnIoctl(_UMockdevIoctlBase *handler, _UMockdevIoctlClient *client, void *user);
    bool Ioctl(Device &device, _UMockdevIoctlClient *client);
    void Submit(Device &device, _UMockdevIoctlClient *client);

    _UMockdevTestbed *testbed = nullptr;
    std::vector<std::unique_ptr<Device>> devices;
    mutable std::mutex lock;
    int discarded = 0;
};
