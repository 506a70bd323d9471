#include "analyzer/TForm1.h"
#include "gather/TMainForm.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(MainWindows, OpenWithTheirTitlesAndClose)
{
    TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.windowTitle().toStdString(),
              "Logic Analyzer V2.06 - Logic Analyzer 200MHz/4ns");
    EXPECT_TRUE(form.close());

    TMainForm gather;
    gather.show();
    EXPECT_EQ(gather.windowTitle().toStdString(), "Data Acquisition");
    EXPECT_TRUE(gather.close());
}

}  // namespace
