#pragma once

#include <cstdint>

// A fault the emulated instrument injects on request.
struct EmulatorFault
{
    enum class Kind {
        Busy,      // the next Count command requests answer 0xE0
        LinkFail,  // command Command answers 0x35
        Answer,    // command Command answers Status (e.g. an unknown byte)
        Timeout,   // the bulk transfer after command Command never completes
        Short,     // the bulk read after command Command returns Bytes bytes (or half)
        Corrupt,   // the block returned by ReadBlock has a damaged byte
        Unplug,    // the device disappears on the At-th request of command Command
        LateAbort, // the bulk read after Command never completes, and an abort
                   // ends it only after the host's next request, with data
        Stall,     // the request of command Command fails (the host sees no status)
    };

    Kind What = Kind::Busy;
    int Command = -1; // command code, -1 for any
    uint8_t Status = 0;
    int Count = -1; // how many times; -1 for always
    int At = 1;     // Unplug: which request of the command
    int Bytes = -1; // Short: bytes the read returns, -1 for half of them
};
