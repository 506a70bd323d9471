#include "cli/DevicesCommand.h"

#include "analyzer/AcquisitionWindow.h"
#include "cli/CliArguments.h"
#include "cli/CliStatus.h"
#include "device/CEzUsb.h"
#include "device/CFile.h"
#include "device/ModelTable.h"
#include "device/WSystem.h"

#include <cstdio>

namespace {

std::string Hex4(unsigned v)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04x", v & 0xFFFFu);
    return text;
}

std::string Quoted(const std::string &s)
{
    return "\"" + s + "\"";
}

// The model line of the analyzer `usb` is connected to.
std::string Identity(CEzUsb &usb, CFile &record, bool &known)
{
    known = false;
    const uint8_t status = usb.SendCommand(CEzUsb::Identify);
    if (status == CEzUsb::StatusModel9 || status == CEzUsb::StatusModel10) {
        const int model = status == CEzUsb::StatusModel9 ? 9 : 10;
        known = true;
        return "model " + std::to_string(model) + " " +
               Quoted(std::string(ModelTable::Model(model).name)) +
               " (its model code in place of an identity block)";
    }
    if (status == CEzUsb::StatusBusy)
        return "busy: no identity";
    std::vector<uint8_t> block;
    if (status != CEzUsb::StatusAccepted || !usb.ReadIdentityBlock(block))
        return "no identity block";
    const auto texts = WSystem::IdentityStrings(block);
    const uint8_t model = WSystem::ModelFromIdentity(block);
    record.ModelCode = model;
    known = model != 0;
    const std::string identity = "identity " + Quoted(texts[0]) + " " + Quoted(texts[2]);
    if (!known)
        return "unknown model, " + identity;
    return "model " + std::to_string(model) + " " +
           Quoted(std::string(ModelTable::Model(model).name)) + ", " + identity;
}

} // namespace

int DevicesCommand::Run(std::span<const std::string> args, std::ostream &out, std::ostream &err)
{
    CliArguments a;
    if (!a.Parse(args, std::span<const CliArguments::Option>{}))
        return CliStatus::Fail(err, CliStatus::Usage, a.Error);
    if (a.HelpAsked()) {
        out << CliArguments::HelpText(
            "tracemoor-cli devices",
            "Lists the USB devices of the analyzers' vendor, one line each: the device index\n"
            "(what capture --device takes), its USB IDs and, for an analyzer, the model its\n"
            "identity names with the identity texts. Exit code 3 when no analyzer is found.",
            {});
        return CliStatus::Ok;
    }
    if (!a.Operands.empty())
        return CliStatus::Fail(err, CliStatus::Usage, "devices takes no operand");

    WSystem system;
    CFile record;
    record.ModelCode = static_cast<uint8_t>(system.ModelCode);
    record.ResetSettings();
    CEzUsb usb(record, system, nullptr);
    const int count = usb.Device().CountDevices();
    int analyzers = 0;
    for (int i = 0; i < count; ++i) {
        const bool connected = usb.ConnectAt(i);
        CCyUSBDevice &device = usb.Device();
        if (!connected && !usb.AccessDenied && device.OpenDevice(i)) {
            // Not an analyzer: the IDs it has, read while it is open.
            const uint16_t vendor = device.VendorID, product = device.ProductID;
            device.CloseDevice();
            device.VendorID = vendor;
            device.ProductID = product;
        }
        std::string line = "Device" + std::to_string(i) + " " + Hex4(device.VendorID) + ":" +
                           Hex4(device.ProductID) + " ";
        if (connected) {
            bool known = false;
            line += Identity(usb, record, known);
            ++analyzers;
        } else if (usb.AccessDenied) {
            line += "analyzer, not open to this user: install the udev rule 60-tracemoor.rules "
                    "and plug it in again";
            ++analyzers;
        } else if (device.VendorID == CEzUsb::AnalyzerVendor &&
                   device.ProductID == CEzUsb::AnalyzerProduct) {
            line += "analyzer that cannot be opened";
            ++analyzers;
        } else {
            line += "not an analyzer";
        }
        out << line << '\n';
    }
    if (analyzers == 0)
        return CliStatus::Fail(err, CliStatus::Empty, "no analyzer found");
    return CliStatus::Ok;
}
