// The names the export commands write under: a name without an extension
// gets the chosen one, any other name is kept as typed.

#include "files/FileName.h"

#include <gtest/gtest.h>

namespace {

TEST(DefaultExtension, IsAddedOnlyToANameWithoutOne)
{
    const std::pair<const char *, const char *> cases[] = {
        {"/tmp/packets", "/tmp/packets.csv"},
        {"/tmp/packets.csv", "/tmp/packets.csv"},
        {"/tmp/packets.txt", "/tmp/packets.txt"}, // another extension is the user's choice
        {"/tmp/packets.dat", "/tmp/packets.dat"},
        {"/tmp/v1.2/packets", "/tmp/v1.2/packets.csv"}, // a dot in a folder does not count
        {"/tmp/.packets", "/tmp/.packets.csv"},         // nor one that starts the name
        {"packets", "packets.csv"},
        {"", ""}, // the dialog was cancelled
        {"/tmp/", "/tmp/"},
    };
    for (const auto &[typed, saved] : cases)
        EXPECT_EQ(FileName::WithDefaultExtension(typed, ".csv"), saved) << typed;
    EXPECT_EQ(FileName::WithDefaultExtension("/tmp/packets", ".txt"), "/tmp/packets.txt");
}

} // namespace
