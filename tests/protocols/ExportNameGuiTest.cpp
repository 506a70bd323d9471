// The decoder pages' Export: the chosen filter's extension is added to a
// name typed without one.

#include "protocols/ProtocolPageParts.h"

#include <gtest/gtest.h>

namespace {

TEST(ExportName, TakesTheChosenFiltersExtension)
{
    struct Case
    {
        const char *typed, *filter, *saved;
    };
    const Case cases[] = {
        {"/tmp/i2c", "CSV (*.csv)", "/tmp/i2c.csv"},
        {"/tmp/i2c", "Text (*.txt)", "/tmp/i2c.txt"},
        {"/tmp/i2c.csv", "Text (*.txt)", "/tmp/i2c.csv"},
        {"", "CSV (*.csv)", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ProtocolPageParts::ExportFileName(QString::fromUtf8(c.typed),
                                                    QString::fromUtf8(c.filter))
                      .toStdString(),
                  c.saved)
            << c.typed << " with " << c.filter;
}

} // namespace
