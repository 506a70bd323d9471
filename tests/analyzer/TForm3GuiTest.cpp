#include "AnalyzerGuiHelpers.h"
#include "EmulatedChannel.h"
#include "tests/display/LanguageFileForTest.h"

#include "analyzer/TForm3.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

class About : public testing::Test
{
protected:
    // Shows the box modally for the analyzers of `config` (none: no
    // channel at all) and returns its three lines.
    QStringList Show(const char *config)
    {
        std::unique_ptr<EmulatedChannel> channel;
        if (config)
            channel = std::make_unique<EmulatedChannel>(config);
        QStringList lines;
        ModalAnswerer answer([&](QWidget *w) {
            EXPECT_EQ(w, &dialog);
            lines << dialog.SoftwareVerLabel->text() << dialog.ModelLabel->text()
                  << dialog.BIOS_Version->text();
            dialog.close();
        });
        dialog.Execute(channel ? channel->usb.get() : nullptr);
        EXPECT_EQ(answer.Seen(), 1);
        return lines;
    }

    TForm3 dialog;
};

TEST_F(About, AConnectedAnalyzerGivesItsModelAndBiosLines)
{
    EXPECT_EQ(Show("model=5"),
              QStringList({"Logic Analyzer V2.06", "H/W Model  :QX-B16", "BIOS Version:1.0"}));
    EXPECT_EQ(dialog.windowTitle(), "About");
    EXPECT_EQ(dialog.SoftwareVerLabel->pos(), QPoint(10, 10));
    EXPECT_EQ(dialog.ModelLabel->pos(), QPoint(10, 30));
    EXPECT_EQ(dialog.BIOS_Version->pos(), QPoint(10, 50));
}

TEST_F(About, WithoutAnIdentityBlockTheLinesSayNone)
{
    const QStringList none{"Logic Analyzer V2.06", "H/W Model : None", "BIOS Version: None"};
    // Models 9 and 10 answer the identity command without a block.
    EXPECT_EQ(Show("model=9"), none);
    EXPECT_EQ(Show("model=10"), none);
    // Not connected.
    EXPECT_EQ(Show("count=0"), none);
    EXPECT_EQ(Show(nullptr), none);
    // A connected analyzer shown once does not leave its lines behind.
    Show("model=3");
    EXPECT_EQ(Show("count=0"), none);
}

TEST_F(About, TheCaptionComesFromTheLanguageFile)
{
    LanguageFileForTest file("[About]\nstrAboutFormCaption=Info\n");
    Show(nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Info");
}

} // namespace
