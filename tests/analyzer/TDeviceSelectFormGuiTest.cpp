#include "AnalyzerGuiHelpers.h"
#include "AnalyzerTestFolder.h"

#include "analyzer/TDeviceSelectForm.h"
#include "device/CFile.h"
#include "device/WSystem.h"
#include "files/CIniFile.h"
#include "files/ProjectFile.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <vector>

namespace {

void WriteText(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

class ModelSelection : public testing::Test
{
protected:
    void SetUp() override
    {
        settings.ModelCode = 0;
        settings.ResetSettings();
    }

    // Shows the dialog alone; `pick` chooses the entry before OK.
    QStringList Choose(const std::string &host, int pick = 0)
    {
        WriteText(ini, "[Model]\nHost=" + host + "\n");
        QStringList offered;
        ModalAnswerer answer([&](QWidget *w) {
            for (int i = 0; i < dialog.Device_Box->count(); ++i)
                offered << dialog.Device_Box->itemText(i);
            EXPECT_EQ(w, &dialog);
            dialog.Device_Box->setCurrentIndex(pick);
            dialog.OK_btn->click();
        });
        dialog.ChooseModel(settings, system, ini);
        EXPECT_EQ(answer.Seen(), 1);
        return offered;
    }

    AnalyzerTestFolder folder;
    std::string ini = folder.File("System.ini");
    CFile settings;
    WSystem system;
    TDeviceSelectForm dialog;
};

TEST_F(ModelSelection, AllElevenModelsInCodeOrderFor7FF)
{
    const QStringList all{"Demo",
                          "Tracemoor 200MHz/4ns",
                          "Tracemoor 200MHz/2ns",
                          "PC-Based LA 100MHz/10ns(16CH)",
                          "PC-Based LA 100MHz/10ns(32CH)",
                          "PC-Based LA 100MHz/4ns(16CH)",
                          "PC-Based LA 100MHz/4ns(32CH)",
                          "PC-Based LA 200MHz/2ns(16CH)",
                          "PC-Based LA 200MHz/2ns(32CH)",
                          "PC-Based LA 100MHz/10ns(16CH)A",
                          "PC-Based LA 100MHz/4ns(32CH)A"};
    EXPECT_EQ(Choose("7FF", 10), all);
    EXPECT_EQ(system.ModelCode, 10);
    EXPECT_EQ(settings.ModelCode, 10);
    // Bits above model 10 add nothing.
    EXPECT_EQ(Choose("FFFFF"), all);
    EXPECT_EQ(system.ModelCode, 0);
}

TEST_F(ModelSelection, Mask6OffersModels1And2AndOkTakesTheChosenOne)
{
    settings.TriggerType = 4; // changed, to see the reset
    EXPECT_EQ(Choose("6", 1), QStringList({"Tracemoor 200MHz/4ns", "Tracemoor 200MHz/2ns"}));
    EXPECT_EQ(system.ModelCode, 2);
    EXPECT_EQ(settings.ModelCode, 2);
    EXPECT_EQ(settings.TriggerType, 1);
    EXPECT_EQ(dialog.EntryCodes, std::vector<uint8_t>({1, 2}));
}

TEST_F(ModelSelection, AnEmptyListKeepsTheCurrentModel)
{
    system.SelectModel(5);
    EXPECT_TRUE(Choose("800").isEmpty());
    EXPECT_EQ(system.ModelCode, 5);
    EXPECT_EQ(settings.ModelCode, 5); // the record follows the model in use
}

TEST_F(ModelSelection, AHostThatIsNoNumberIsReportedAndOffersNothing)
{
    MessageRecorder messages;
    system.SelectModel(3);
    EXPECT_TRUE(Choose("zz").isEmpty());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].kind, AppMessage::Kind::Error);
    EXPECT_TRUE(messages.messages[0].text.contains("zz"));
    EXPECT_EQ(system.ModelCode, 3);
}

TEST_F(ModelSelection, EscapeDoesNotLeaveTheDialog)
{
    WriteText(ini, "[Model]\nHost=3\n");
    int rounds = 0;
    ModalAnswerer answer([&](QWidget *) {
        ++rounds;
        QTest::keyClick(dialog.Device_Box, Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible());
        dialog.close();
        EXPECT_TRUE(dialog.isVisible());
        dialog.Device_Box->setCurrentIndex(1);
        QTest::keyClick(dialog.Device_Box, Qt::Key_Return); // Enter acts as OK
    });
    dialog.ChooseModel(settings, system, ini);
    EXPECT_EQ(rounds, 1);
    EXPECT_EQ(system.ModelCode, 1);
}

// The start-up variant with its offer to reopen the last project file.
class StartUpSelection : public ModelSelection
{
protected:
    // A whole project file of `model`, cut to `length` bytes when shorter.
    std::string LastFile(size_t length = SIZE_MAX, uint8_t model = 2)
    {
        CFile source;
        source.ModelCode = model;
        source.ResetSettings();
        source.TriggerType = 3;
        source.BuildBlock();
        std::vector<uint8_t> bytes(ProjectFile::FileSize(model), 0x11);
        bytes[0] = model;
        std::copy(source.BlockBuffer.begin(), source.BlockBuffer.end(), bytes.begin() + 1);
        bytes.resize(std::min(length, bytes.size()));
        const std::string path = folder.File("last.pjf");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char *>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    // Runs the start-up selection answering the prompt; returns how many
    // times the dialog was shown.
    int Start(bool answerYes)
    {
        MessageRecorder recorder(answerYes);
        ModalAnswerer answer([&](QWidget *) { dialog.OK_btn->click(); });
        dialog.SelectModelAtStart(settings, system, ini);
        questions = recorder.messages;
        return answer.Seen();
    }

    std::vector<MessageRecorder::Message> questions;
};

TEST_F(StartUpSelection, YesReopensTheLastFileAndShowsNoDialog)
{
    const std::string last = LastFile();
    WriteText(ini, "[History]\nLastFile=" + last + "\n[Model]\nHost=7FF\n");
    EXPECT_EQ(Start(true), 0);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].kind, AppMessage::Kind::Question);
    EXPECT_EQ(questions[0].text, "Load the last used file?");
    EXPECT_EQ(questions[0].caption, "Overwrite");
    EXPECT_EQ(system.ModelCode, 2);
    EXPECT_EQ(settings.ModelCode, 2);
    EXPECT_EQ(settings.TriggerType, 3);
    EXPECT_EQ(system.SampleBuffer[0], 0x11);
}

TEST_F(StartUpSelection, NoShowsTheDialog)
{
    const std::string last = LastFile();
    WriteText(ini, "[History]\nLastFile=" + last + "\n[Model]\nHost=7FF\n");
    EXPECT_EQ(Start(false), 1);
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(system.ModelCode, 0); // the first entry, Demo
}

// A file that is not a whole project file is reported and changes nothing;
// the model is asked instead.
TEST_F(StartUpSelection, AnInvalidLastFileIsReportedAndTheDialogShown)
{
    for (const size_t length : {size_t{0}, size_t{300}, ProjectFile::FileSize(2) - 1}) {
        const std::string last = LastFile(length);
        WriteText(ini, "[History]\nLastFile=" + last + "\n[Model]\nHost=6\n");
        system.SelectModel(4);
        EXPECT_EQ(Start(true), 1) << length;
        ASSERT_EQ(questions.size(), 2u) << length;
        EXPECT_EQ(questions[1].kind, AppMessage::Kind::Error);
        EXPECT_TRUE(questions[1].text.startsWith("This is not a valid project file.")) << length;
        EXPECT_EQ(system.ModelCode, 1) << length; // the first entry of mask 6
        EXPECT_EQ(settings.TriggerType, 1) << length;
    }
}

TEST_F(StartUpSelection, ADamagedBlockIsReportedAndTheDialogShown)
{
    const std::string last = LastFile();
    std::fstream(last, std::ios::binary | std::ios::in | std::ios::out).seekp(1 + 20).put('\x5A');
    WriteText(ini, "[History]\nLastFile=" + last + "\n[Model]\nHost=6\n");
    EXPECT_EQ(Start(true), 1);
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(system.ModelCode, 1);
}

TEST_F(StartUpSelection, AMissingLastFileAsksNothingAndShowsTheDialog)
{
    WriteText(ini, "[History]\nLastFile=" + folder.File("gone.pjf") + "\n");
    EXPECT_EQ(Start(true), 1);
    EXPECT_TRUE(questions.empty());
    // [Model] Host was missing and is written.
    EXPECT_EQ(CIniFile(ini).ReadString("Model", "Host", "x"), "1");
    EXPECT_EQ(system.ModelCode, 0);
}

TEST_F(StartUpSelection, WithoutSystemIniTheFileIsCreatedAndTheDialogShown)
{
    EXPECT_EQ(Start(true), 1);
    EXPECT_TRUE(questions.empty());
    CIniFile file(ini);
    EXPECT_EQ(file.ReadString("History", "LastFile", "x"), "");
    EXPECT_EQ(file.ReadString("Model", "Host", "x"), "1");
}

} // namespace
