#pragma once

#include "protocols/CaptureWindow.h"
#include "protocols/WSPI_Core.h"

// The SPI decoder's sample pass: the four strips (SCK, SS, MOSI and MISO
// channels) and the two lines' events, one byte per sample each.
// A line's events depend on a little state (first bit armed, end written,
// clock edge armed), but the state changes only where SS changes and at the
// first sampling edge of a message; everywhere else an event is a function
// of the sample and its predecessor alone. So the pass works on 16 samples
// at a time: their strip codes and events as if no state changed
// (byte-vector arithmetic, SampleLanes.h), then bit masks of SS activity and
// of the sampling and arming edges put right the few events the state
// decides (an end, a message's first bit, edges before the arming edge).
// Cost: each sample word is read once, 6 bytes are written per sample into
// the result's arrays (sized by the caller), and a few bit operations are
// spent per SS change.
class SpiSamplePass
{
public:
    // The settings are valid (channels, modes); the result's strips and
    // events hold window.Count entries.
    static void Run(const CaptureWindow &window, const WSPI_Core::Settings &settings,
                    WSPI_Core::Result &out);
};
