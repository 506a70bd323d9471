#include "device/AnalyzerFirmware.h"

#include "device/EmulatedAutoScale.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr uint8_t HelloCode = 0x00;
constexpr uint8_t AutoScaleCode = 0x0A;
constexpr uint8_t CheckReadyCode = 0x16;
constexpr uint8_t StartCaptureCode = 0x70;
constexpr uint8_t StopCaptureCode = 0x71;
constexpr uint8_t IdentifyCode = 0x80;
constexpr uint8_t ReadBlockCode = 0x81;
constexpr uint8_t ReadSamplesCode = 0x82;
constexpr uint8_t WriteBlockCode = 0x88;
constexpr uint8_t WriteSamplesCode = 0x89;
constexpr uint16_t SetThresholdValue = 0xA0;
constexpr size_t CorruptOffset = 100; // a trigger condition byte

uint16_t Word(std::span<const uint8_t> bytes, size_t k)
{
    return static_cast<uint16_t>(bytes[2 * k] | bytes[2 * k + 1] << 8);
}

std::vector<uint8_t> StringDescriptor(const std::string &text)
{
    std::vector<uint8_t> out{static_cast<uint8_t>(2 + 2 * text.size()), 3};
    for (char c : text) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(0);
    }
    return out;
}

// The trigger unit runs a type field of 0 as Pattern 1.
uint8_t TriggerTypeRun(unsigned field)
{
    return static_cast<uint8_t>(field == 0 ? 1 : field);
}

} // namespace

AnalyzerFirmware::AnalyzerFirmware(const EmulatorConfig &config, int modelCode, int serialNumber)
    : faults(config.Faults)
    , model(modelCode)
    , serial(serialNumber)
    , productId(modelCode == 0 ? ForeignProductId : ProductId)
    , row(ModelTable::Model(modelCode))
    , scene(config.Scene, row.channels)
    , pollsBeforeDone(config.Polls)
    , random(config.Seed * 7919u + static_cast<uint32_t>(serialNumber))
    , memory(row.memorySize, 0)
{
    record.ModelCode = static_cast<uint8_t>(model);
    record.ResetSettings();
    record.BuildBlock();
}

std::vector<uint8_t> AnalyzerFirmware::DeviceDescriptor() const
{
    return {18,
            1,
            0x00,
            0x02, // USB 2.0
            0x00,
            0x00,
            0x00,
            64, // class per interface, ep0 64 bytes
            static_cast<uint8_t>(VendorId),
            static_cast<uint8_t>(VendorId >> 8),
            static_cast<uint8_t>(productId),
            static_cast<uint8_t>(productId >> 8),
            0x00,
            0x01,
            1,
            2,
            3,
            1};
}

std::vector<uint8_t> AnalyzerFirmware::ConfigDescriptor() const
{
    return {9, 2, 32,        0, 1,    1,    0, 0x80, 50, // one configuration, 100 mA
            9, 4, 0,         0, 2,    0xFF, 0, 0,    0,  // vendor interface, two endpoints
            7, 5, BulkOutEp, 2, 0x00, 0x02, 0,           // bulk OUT, 512 bytes
            7, 5, BulkInEp,  2, 0x00, 0x02, 0};          // bulk IN, 512 bytes
}

std::vector<uint8_t> AnalyzerFirmware::Descriptors() const
{
    std::vector<uint8_t> all = DeviceDescriptor();
    const std::vector<uint8_t> config = ConfigDescriptor();
    all.insert(all.end(), config.begin(), config.end());
    return all;
}

std::vector<uint8_t> AnalyzerFirmware::IdentityBlock() const
{
    // Version, a build line and the model line, each NUL-terminated. Model 1
    // instruments exist with either spelling of the model line.
    if (!identityOverride.empty())
        return identityOverride;
    std::vector<uint8_t> block(IdentityBlockSize, 0);
    const auto versions = std::count_if(row.versions.begin(), row.versions.end(),
                                        [](std::string_view v) { return !v.empty(); });
    const std::string_view version =
        versions == 0 ? std::string_view{} : row.versions[static_cast<size_t>(serial % versions)];
    const std::string_view modelLine =
        serial % 2 == 1 && !row.identityAlt.empty() ? row.identityAlt : row.identity;
    const std::string build = "Build  :emulated";
    size_t at = 0;
    for (std::string_view s : {version, std::string_view(build), modelLine}) {
        std::copy(s.begin(), s.end(), block.begin() + static_cast<std::ptrdiff_t>(at));
        at += s.size() + 1;
    }
    return block;
}

AnalyzerFirmware::Reply AnalyzerFirmware::Control(const Setup &setup, std::span<uint8_t> data)
{
    if (!attached)
        return {Outcome::Gone, 0};
    data = data.first(std::min<size_t>(data.size(), setup.wLength));
    const uint8_t type = (setup.bmRequestType >> 5) & 3;
    if (type == 0)
        return Standard(setup, data);
    if (type == 2 && productId == ProductId)
        return Vendor(setup, data);
    return {Outcome::Stall, 0};
}

AnalyzerFirmware::Reply AnalyzerFirmware::Standard(const Setup &setup, std::span<uint8_t> data)
{
    const bool in = (setup.bmRequestType & 0x80) != 0;
    auto answer = [&](const std::vector<uint8_t> &bytes) -> Reply {
        const size_t n = std::min(bytes.size(), data.size());
        std::copy_n(bytes.begin(), n, data.begin());
        return {Outcome::Done, n};
    };
    switch (setup.bRequest) {
    case 0: // GET_STATUS
        return in ? answer({0, 0}) : Reply{Outcome::Stall, 0};
    case 6: { // GET_DESCRIPTOR
        if (!in)
            return {Outcome::Stall, 0};
        const uint8_t kind = static_cast<uint8_t>(setup.wValue >> 8);
        const uint8_t index = static_cast<uint8_t>(setup.wValue);
        if (kind == 1)
            return answer(DeviceDescriptor());
        if (kind == 2 && index == 0)
            return answer(ConfigDescriptor());
        if (kind == 3) {
            switch (index) {
            case 0:
                return answer({4, 3, 0x09, 0x04});
            case 1:
                return answer(StringDescriptor("Tracemoor"));
            case 2:
                return answer(
                    StringDescriptor(productId == ProductId ? "Logic Analyzer" : "USB Device"));
            case 3:
                return answer(StringDescriptor("EMU" + std::to_string(1000 + serial)));
            default:
                break;
            }
        }
        return {Outcome::Stall, 0};
    }
    case 8: // GET_CONFIGURATION
        return in ? answer({1}) : Reply{Outcome::Stall, 0};
    case 9:  // SET_CONFIGURATION
    case 11: // SET_INTERFACE
        return in ? Reply{Outcome::Stall, 0} : Reply{Outcome::Done, 0};
    default:
        return {Outcome::Stall, 0};
    }
}

EmulatorFault *AnalyzerFirmware::ActiveFault(EmulatorFault::Kind kind, int code)
{
    for (EmulatorFault &f : faults) {
        if (f.What == kind && f.Count != 0 && (f.Command < 0 || f.Command == code))
            return &f;
    }
    return nullptr;
}

void AnalyzerFirmware::Inject(std::span<const EmulatorFault> more)
{
    for (EmulatorFault f : more) {
        if (f.What == EmulatorFault::Kind::Unplug)
            f.At += seen[f.Command];
        faults.push_back(f);
    }
}

void AnalyzerFirmware::Use(EmulatorFault &fault)
{
    if (fault.Count > 0)
        --fault.Count;
}

AnalyzerFirmware::Reply AnalyzerFirmware::Vendor(const Setup &setup, std::span<uint8_t> data)
{
    if (setup.bRequest != CommandRequest || (setup.bmRequestType & 0x80) == 0 || data.empty())
        return {Outcome::Stall, 0};
    const int code = setup.wValue & 0xFF;
    const int count = ++seen[code];
    if (EmulatorFault *f = ActiveFault(EmulatorFault::Kind::Unplug, code);
        f != nullptr && f->At == count) {
        Use(*f);
        attached = false;
        return {Outcome::Gone, 0};
    }
    if (EmulatorFault *f = ActiveFault(EmulatorFault::Kind::Stall, code)) {
        Use(*f);
        commands.push_back({setup.wValue, setup.wIndex, 0});
        return {Outcome::Stall, 0};
    }

    uint8_t status = 0;
    if (EmulatorFault *busy = ActiveFault(EmulatorFault::Kind::Busy, code)) {
        Use(*busy);
        status = Busy;
    } else if (EmulatorFault *link = ActiveFault(EmulatorFault::Kind::LinkFail, code)) {
        Use(*link);
        status = LinkFail;
    } else if (EmulatorFault *odd = ActiveFault(EmulatorFault::Kind::Answer, code)) {
        Use(*odd);
        status = odd->Status;
    } else {
        status = Execute(static_cast<uint8_t>(code), setup.wIndex);
        if (code == SetThresholdValue)
            thresholds[(setup.wIndex & 0x4000) != 0 ? 1 : 0] = setup.wIndex;
        if (status == Accepted) {
            if (EmulatorFault *f = ActiveFault(EmulatorFault::Kind::Timeout, code)) {
                Use(*f);
                bulkFault = BulkFault::Timeout;
            } else if (EmulatorFault *s = ActiveFault(EmulatorFault::Kind::Short, code)) {
                Use(*s);
                bulkFault = BulkFault::Short;
                shortBytes = s->Bytes;
            } else if (EmulatorFault *l = ActiveFault(EmulatorFault::Kind::LateAbort, code)) {
                Use(*l);
                bulkFault = BulkFault::LateAbort;
            }
        }
    }
    commands.push_back({setup.wValue, setup.wIndex, status});

    std::fill(data.begin(), data.end(), uint8_t{0});
    data[0] = status;
    if (code == HelloCode && data.size() >= 2)
        data[1] = static_cast<uint8_t>(model);
    return {Outcome::Done, data.size()};
}

uint8_t AnalyzerFirmware::Execute(uint8_t code, uint16_t index)
{
    static_cast<void>(index);
    // Every command starts afresh: data the host did not collect is dropped.
    if (code != 0xA0) {
        inData.clear();
        inAt = 0;
        expect = Expect::Nothing;
        outAt = 0;
        bulkFault = BulkFault::None;
    }
    switch (code) {
    case HelloCode:
    case CheckReadyCode:
    case 0xA0:
        return Accepted;
    case AutoScaleCode:
        ChooseTimeBase();
        StartCapture();
        return Accepted;
    case StartCaptureCode:
        StartCapture();
        return Accepted;
    case StopCaptureCode:
        if (state == CaptureState::Running)
            state = CaptureState::Idle;
        return Accepted;
    case IdentifyCode:
        if (model == 9)
            return IsModel9;
        if (model == 10)
            return IsModel10;
        Queue(IdentityBlock());
        return Accepted;
    case ReadBlockCode:
        if (model == 9 || model == 10) {
            // The compact models answer busy until the capture is done.
            if (!blockFromHost && !CaptureFinished())
                return Busy;
            Queue(blockFromHost ? BlockReply() : ImageReply());
            return Accepted;
        }
        Queue(BlockReply());
        return Accepted;
    case ReadSamplesCode:
        Queue(memory);
        return Accepted;
    case WriteBlockCode:
        expect = Expect::Settings;
        return Accepted;
    case WriteSamplesCode:
        expect = Expect::Samples;
        return Accepted;
    default:
        return Busy;
    }
}

void AnalyzerFirmware::Queue(std::span<const uint8_t> data)
{
    inData.assign(data.begin(), data.end());
    inAt = 0;
}

void AnalyzerFirmware::ChooseTimeBase()
{
    // On the external clock the rate is not the instrument's to choose.
    if (settings.ExternalClock)
        return;
    const int chosen = EmulatedAutoScale::ChooseRow(scene, row, settings, record.RateRow);
    record.TimeDivRow = static_cast<int16_t>(chosen);
    record.RateRow = static_cast<int16_t>(chosen);
    settings.RateRow = chosen;
}

void AnalyzerFirmware::StartCapture()
{
    ++capturesStarted;
    state = CaptureState::Running;
    pollsLeft = pollsBeforeDone;
    if (model == 9 || model == 10) {
        // Ports 1 and 2 take the thresholds of the last threshold requests:
        // 5 * code + 772 in the low twelve bits, code 255 being 0 V.
        for (size_t port = 0; port < thresholds.size(); ++port) {
            if (thresholds[port] != 0)
                settings.ThresholdTenths[port] = ((thresholds[port] & 0x0FFF) - 772) / 5 - 255;
        }
    }
    capture = EmulatedCapture::Record(memory, settings, scene, row, random);
}

bool AnalyzerFirmware::CaptureFinished()
{
    if (state == CaptureState::Running && capture) {
        if (pollsLeft > 0) {
            --pollsLeft;
            return false;
        }
        state = CaptureState::Done;
        reportedEnd = capture->ReportedEnd;
        record.CaptureDone = 1;
        record.ReportedEndAddress = reportedEnd;
    }
    return state == CaptureState::Done;
}

std::vector<uint8_t> AnalyzerFirmware::BlockReply()
{
    if (state == CaptureState::Running)
        CaptureFinished();
    if (state == CaptureState::Running)
        record.CaptureDone = 0;
    record.BuildBlock();
    std::vector<uint8_t> block(record.Block().begin(), record.Block().end());
    if (EmulatorFault *f = ActiveFault(EmulatorFault::Kind::Corrupt, ReadBlockCode)) {
        Use(*f);
        block[CorruptOffset] ^= 0x5A;
    }
    return block;
}

std::vector<uint8_t> AnalyzerFirmware::ImageReply() const
{
    // Padded to a whole block, so that a host reading a block gets one.
    std::vector<uint8_t> reply(CFile::BlockSize, 0);
    reply[0] = 1;
    reply[2] = static_cast<uint8_t>(reportedEnd);
    reply[3] = static_cast<uint8_t>(reportedEnd >> 8);
    reply[4] = static_cast<uint8_t>(reportedEnd >> 16);
    reply[5] = static_cast<uint8_t>(reportedEnd >> 24);
    return reply;
}

AnalyzerFirmware::Reply AnalyzerFirmware::BulkIn(uint8_t endpoint, std::span<uint8_t> out)
{
    if (!attached)
        return {Outcome::Gone, 0};
    if (endpoint != BulkInEp || productId != ProductId)
        return {Outcome::Stall, 0};
    if (bulkFault == BulkFault::Timeout || bulkFault == BulkFault::LateAbort ||
        inAt >= inData.size())
        return {Outcome::Nak, 0};
    size_t n = std::min(out.size(), inData.size() - inAt);
    if (bulkFault == BulkFault::Short) {
        n = shortBytes < 0 ? n / 2 : std::min(n, static_cast<size_t>(shortBytes));
        bulkFault = BulkFault::None;
        std::copy_n(inData.begin() + static_cast<std::ptrdiff_t>(inAt), n, out.begin());
        inData.clear();
        inAt = 0;
        return {Outcome::Done, n};
    }
    std::copy_n(inData.begin() + static_cast<std::ptrdiff_t>(inAt), n, out.begin());
    inAt += n;
    return {Outcome::Done, n};
}

AnalyzerFirmware::Reply AnalyzerFirmware::BulkOut(uint8_t endpoint, std::span<const uint8_t> in)
{
    if (!attached)
        return {Outcome::Gone, 0};
    if (endpoint != BulkOutEp || productId != ProductId)
        return {Outcome::Stall, 0};
    if (bulkFault == BulkFault::Timeout || expect == Expect::Nothing)
        return {Outcome::Nak, 0};
    if (expect == Expect::Settings) {
        expect = Expect::Nothing;
        if (in.size() >= CFile::BlockSize)
            TakeBlock(in.first(CFile::BlockSize));
        else if (model == 9 || model == 10)
            TakeImage(in);
        return {Outcome::Done, in.size()};
    }
    const size_t n = std::min(in.size(), memory.size() - outAt);
    std::copy_n(in.begin(), n, memory.begin() + static_cast<std::ptrdiff_t>(outAt));
    outAt += n;
    if (outAt >= memory.size())
        expect = Expect::Nothing;
    return {Outcome::Done, n};
}

void AnalyzerFirmware::TakeBlock(std::span<const uint8_t> block)
{
    CFile incoming;
    incoming.ModelCode = static_cast<uint8_t>(model);
    std::copy(block.begin(), block.end(), incoming.Block().begin());
    if (!incoming.ParseBlock())
        return; // a damaged block is ignored; the last good settings stay
    record = incoming;
    blockFromHost = true;
    state = CaptureState::Idle;
    settings = CaptureSettings{};
    settings.RateRow = record.RateRow;
    settings.PreTriggerBytes = record.PreTriggerBytes;
    settings.PostTriggerBytes = record.PostTriggerBytes;
    settings.TriggerType = TriggerTypeRun(record.TriggerType);
    settings.Continuous = record.ContinuousTrigger != 0;
    settings.TriggerCounter = record.TriggerCounter;
    settings.Condition = record.TriggerCondition;
    settings.PulsePolarity = record.PulsePolarity;
    settings.PulseCompare = record.PulseCompare;
    settings.PulseChannel = record.PulseChannel;
    // The block carries the width as 16 bits: counts up to 65534, and
    // 0xFFFF for a width beyond them.
    const auto pulseSamples = static_cast<uint16_t>(record.PulseSamples);
    settings.PulseSamples = pulseSamples == 0xFFFF ? -1 : pulseSamples;
    settings.ExternalClock = record.ClockSource == 1;
    const int centre = model == 9 || model == 10 ? 255 : 127;
    for (size_t port = 0; port < settings.ThresholdTenths.size(); ++port)
        settings.ThresholdTenths[port] = record.PortLevel[port] - centre;
}

void AnalyzerFirmware::TakeImage(std::span<const uint8_t> image)
{
    if (image.size() < 58)
        return;
    blockFromHost = false;
    state = CaptureState::Idle;
    settings = CaptureSettings{};
    // Clock code 0 runs the internal clock at the fastest rate; any other
    // code selects the external clock, taken here as the 10 MHz row.
    settings.RateRow = Word(image, 0) >> 8 == 0 ? 0 : 7;
    const uint16_t control = Word(image, 1);
    settings.TriggerType = TriggerTypeRun(control & 0x0Fu);
    settings.Continuous = (control & 0x10) != 0;
    settings.TriggerCounter = static_cast<uint8_t>(control >> 8);
    // Level value and mask words per pattern row (rows 0, 1, 2 and OR row 3).
    constexpr std::array<size_t, 4> valueWord{3, 5, 7, 16};
    constexpr std::array<size_t, 4> maskWord{9, 11, 13, 18};
    for (size_t r = 0; r < 4; ++r) {
        const uint32_t value = Word(image, valueWord[r]) | uint32_t{Word(image, valueWord[r] + 1)}
                                                               << 16;
        const uint32_t mask = Word(image, maskWord[r]) | uint32_t{Word(image, maskWord[r] + 1)}
                                                             << 16;
        for (size_t c = 0; c < 32; ++c) {
            settings.Condition[r][c] = (mask >> c) & 1 ? static_cast<uint8_t>((value >> c) & 1)
                                                       : uint8_t{CaptureSettings::DontCare};
        }
    }
    // The edge words: 2 falling, 1 rising, channel in the high byte.
    for (auto [wordIndex, r] : {std::pair<size_t, size_t>{2, 0}, {15, 3}}) {
        const uint16_t edge = Word(image, wordIndex);
        const size_t channel = edge >> 8;
        if ((edge & 0xFF) != 0 && channel < 32) {
            settings.Condition[r][channel] =
                (edge & 0xFF) == 2 ? CaptureSettings::Fall : CaptureSettings::Rise;
        }
    }
    settings.PreTriggerBytes = Word(image, 20) | uint32_t{Word(image, 21)} << 16;
    settings.PostTriggerBytes = Word(image, 22) | uint32_t{Word(image, 23)} << 16;
    const uint16_t pulse = Word(image, 26);
    settings.PulsePolarity = static_cast<uint8_t>(pulse & 7);
    settings.PulseCompare = static_cast<uint8_t>((pulse >> 3) & 0x1F);
    settings.PulseChannel = static_cast<uint8_t>(pulse >> 8);
    settings.PulseSamples = Word(image, 27);
}

bool AnalyzerFirmware::AnswersAbortLate()
{
    if (bulkFault != BulkFault::LateAbort)
        return false;
    bulkFault = BulkFault::None;
    return true;
}

void AnalyzerFirmware::ResetPort()
{
    inData.clear();
    inAt = 0;
    expect = Expect::Nothing;
    outAt = 0;
    bulkFault = BulkFault::None;
}
