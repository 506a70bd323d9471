#include "AnalyzerGuiHelpers.h"

#include "analyzer/Tform_ExtFreq.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ExtFreq : public testing::Test
{
protected:
    void SetUp() override
    {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    void Type(const QString &keys, int unit)
    {
        dialog.SetFreqGroupIndex(unit);
        dialog.FreqEdit->clear();
        QTest::keyClicks(dialog.FreqEdit, keys);
    }

    Tform_ExtFreq dialog;
};

TEST_F(ExtFreq, StartsWith10MHz)
{
    EXPECT_EQ(dialog.FreqEdit->text(), "10");
    EXPECT_EQ(dialog.FreqGroupIndex(), 0);
    EXPECT_EQ(dialog.FreqGroup->title(), "Freq.");
    EXPECT_EQ(dialog.btn_OK->text(), "OK");
    QStringList units;
    for (QRadioButton *r : dialog.FreqGroup->findChildren<QRadioButton *>())
        units << r->text();
    EXPECT_EQ(units, QStringList({"MHz", "KHz", "Hz"}));
}

TEST_F(ExtFreq, TypedValuesAreKeptInsideTheUnitsRange)
{
    const struct
    {
        const char *keys;
        int unit;
        const char *shown;
    } cases[] = {
        {"250", 0, "100"},  {"99", 0, "99"}, {"999", 1, "999"}, {"1000", 1, "999"},
        {"4321", 2, "999"}, {"0", 0, "1"},   {"1", 2, "25"},    {"2", 2, "2"},
        {"1a2", 1, "12"},   {"-5.", 1, "5"}, {"7 8", 0, "78"},
    };
    for (const auto &c : cases) {
        Type(QString::fromLatin1(c.keys), c.unit);
        EXPECT_EQ(dialog.FreqEdit->text(), QLatin1String(c.shown)) << c.keys << " " << c.unit;
    }
}

TEST_F(ExtFreq, SwitchingToKHzAfter100MHzLeavesValuesUpTo999)
{
    Type("250", 0);
    EXPECT_EQ(dialog.FreqEdit->text(), "100");
    dialog.SetFreqGroupIndex(1);
    QTest::keyClick(dialog.FreqEdit, Qt::Key_End);
    QTest::keyClick(dialog.FreqEdit, Qt::Key_Backspace);
    QTest::keyClicks(dialog.FreqEdit, "99");
    EXPECT_EQ(dialog.FreqEdit->text(), "999");
}

TEST_F(ExtFreq, ErasingEverythingGives25)
{
    Type("7", 0);
    QTest::keyClick(dialog.FreqEdit, Qt::Key_Backspace);
    EXPECT_EQ(dialog.FreqEdit->text(), "25");
}

TEST_F(ExtFreq, EnterActsAsOkAndStoresNumberAndUnit)
{
    Type("480", 1);
    QTest::keyClick(dialog.FreqEdit, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Frequency, 480);
    EXPECT_EQ(dialog.Unit, 1);

    dialog.show();
    Type("33", 2);
    dialog.btn_OK->click();
    EXPECT_EQ(dialog.Frequency, 33);
    EXPECT_EQ(dialog.Unit, 2);
}

} // namespace
