#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CFile;
class ParameterFile;

// Gathermoor's parse state and its reading of the parameter file's
// [Property] section into a settings record, and the watch on the file's
// modification time.
//
// Parse starts from Gathermoor's defaults and reads every key anew, in a
// fixed order. A value that is not accepted leaves the key's default and may
// record an error code: the last code recorded is kept, and the codes that
// are counted make the data file's status byte 255.
//   16 SampleRate could not be read      32 RamSize could not be read
//   48 DelayTime without a unit          64 a trigger pattern of the wrong
//   80 TrigCounter outside 1..255, or       length or with a second edge
//      Continuous could not be read         (not counted)
//   96 a Volt value outside -4..4, or    240 Break / Force Trigger (not
//      Volt1 not a number                    counted; the next parse clears it)
// Cost: one read of the file per key (about twenty small reads).
class CFileSystem
{
public:
    static constexpr uint8_t ErrorSampleRate = 16;
    static constexpr uint8_t ErrorRamSize = 32;
    static constexpr uint8_t ErrorDelayUnit = 48;
    static constexpr uint8_t ErrorPattern = 64;
    static constexpr uint8_t ErrorCounter = 80;
    static constexpr uint8_t ErrorVolt = 96;
    static constexpr uint8_t ErrorStopped = 240;
    static constexpr uint16_t DefaultLevel = 142;

    // The settings record as Gathermoor starts every parse: the record's
    // own defaults for model 1, the signal list in channel order with every
    // channel in use, all four port levels 142.
    static void Defaults(CFile &record);

    // Error code and count to 0, the record to the defaults, then the keys.
    void Parse(const ParameterFile &file, CFile &record);

    // The data file's status byte: 255 when a counted error was recorded,
    // otherwise the last code (0 when nothing was found).
    uint8_t StatusByte() const { return ErrorCount != 0 ? 255 : LastErrorCode; }

    // Break and Force Trigger record 240.
    void RecordStop() { LastErrorCode = ErrorStopped; }

    // The modification time of a file as text (nanoseconds), empty when it
    // does not exist.
    static std::string FileAgeText(const std::string &path);
    // The watch: true, remembering the new text, when the modification time
    // differs from the one seen last (the first look after Forget always
    // counts). A file that is not there has not changed: nothing to capture.
    bool FileAgeChanged(const std::string &path);
    void Forget() { LastSeenTime.clear(); }

    // Volts as the port level code 127 + trunc(10 x v), the product formed
    // in single precision; nothing when v lies outside -4..4.
    static bool LevelOfVolts(float volts, uint16_t &level);

    uint8_t LastErrorCode = 0;
    int ErrorCount = 0;
    std::string LastSeenTime;

private:
    void Record(uint8_t code, bool counted);
    void ParseDelay(std::string_view text, CFile &record);
    void ParsePattern(std::string_view text, CFile &record, int row);
    void ParseVolt(std::string_view text, CFile &record, int port);
};
