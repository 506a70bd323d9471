#include "EmulatedChannel.h"

#include "analyzer/AboutIdentity.h"

#include <gtest/gtest.h>

namespace {

TEST(AboutIdentity, LinesNameTheConnectedAnalyzerOrStayNone)
{
    const std::string none = "H/W Model : None|BIOS Version: None";
    const struct
    {
        const char *config;
        std::string lines; // model line | BIOS line
    } cases[] = {
        {"model=3", "H/W Model  :QX-A16|BIOS Version:1.0"},
        {"model=2", "H/W Model  :Logic Analyzer 200MHz/2ns|BIOS Version:1.0"},
        // Models 9 and 10 answer with their model byte and send no block.
        {"model=9", none},
        {"model=10", none},
        {"count=0", none},
        {"model=3,answer=0x80:0xE0", none},
        {"model=3,timeout=0x80", none},
        // A block the device ended early counts once its texts are whole.
        {"model=3,short=0x80", "H/W Model  :QX-A16|BIOS Version:1.0"},
        {"model=3,short=0x80:20", none},
    };
    for (const auto &c : cases) {
        EmulatedChannel channel(c.config);
        const AboutIdentity about = AboutIdentity::Read(*channel.usb);
        EXPECT_EQ(about.ModelText + "|" + about.BiosText, c.lines) << c.config;
    }
}

} // namespace
