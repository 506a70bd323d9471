// The trigger settings from the dialogs to the emulated analyzer and back:
// each case edits the settings through "Advance Setting", the delay keypad
// or the level dialog, makes a single run through the emulated driver and
// checks the capture against what was asked.

#include "../analyzer/AnalyzerWindowFixture.h"

#include "analyzer/Tform_ExtFreq.h"
#include "device/AnalyzerFirmware.h"
#include "device/WSystem.h"
#include "trigger/CPulseWidth.h"
#include "trigger/GridFrame.h"
#include "trigger/TBusEdit.h"
#include "trigger/Tform_Triglevel.h"
#include "trigger/Tform_delay.h"
#include "trigger/TriggerInfo.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QToolButton>

#include <functional>

namespace {

// 10 us/div: 400 ns samples on every model.
constexpr int Row10us = 9;
constexpr uint64_t PeriodNs = 400;

// Opens "Advance Setting" on its trigger page, lets `edit` change it and
// presses OK (answering the external clock's question on the way).
void EditTrigger(AnalyzerWindow &w, const std::function<void(TBusEdit &)> &edit)
{
    bool edited = false;
    ModalAnswerer answer([&](QWidget *dialog) {
        if (auto *bus = qobject_cast<TBusEdit *>(dialog)) {
            edit(*bus);
            edited = true;
            bus->btn_Yes->click();
        }
    });
    // The frequency is asked while OK runs: a second answerer of its own.
    ModalAnswerer frequency([](QWidget *dialog) {
        if (auto *freq = qobject_cast<Tform_ExtFreq *>(dialog))
            freq->btn_OK->click();
    });
    w.form->TriggerButton->trigger();
    ASSERT_TRUE(edited);
}

// Gives channel `channel` of the grid the pop-up menu's item `tag`.
void SetCondition(GridFrame &grid, int channel, int tag)
{
    grid.Grid->setCurrentCell(GridFrame::ConditionRow, grid.ColumnOf(channel));
    grid.MenuItemClick(tag);
}

enum Tag { Low = 0, High = 1, Rising = 3, Falling = 4, AllDontCare = 8 };

bool SingleRun(AnalyzerWindow &w, int row = Row10us)
{
    w.form->DivComboBox->setCurrentIndex(row);
    w.form->SingleRunButton->trigger();
    return w.WaitIdle() && w.Record().CaptureValid == 1 && w.Analyzer().LastCapture();
}

// The host's copy of the sample memory, by byte address.
uint32_t At(AnalyzerWindow &w, uint32_t address)
{
    return w.Record().ReadSample(address);
}

uint32_t Step(AnalyzerWindow &w, uint32_t address, int samples)
{
    return (address + static_cast<uint32_t>(4 * samples)) & w.Record().RingMask();
}

// How many sample pairs from the arm address to the trigger (inclusive)
// satisfy `pair`.
int Occurrences(AnalyzerWindow &w, const std::function<bool(uint32_t, uint32_t)> &pair)
{
    const auto &c = *w.Analyzer().LastCapture();
    int count = 0;
    for (uint32_t a = c.ArmAddress;; a = Step(w, a, 1)) {
        count += pair(At(w, Step(w, a, -1)), At(w, a)) ? 1 : 0;
        if (a == c.TriggerAddress)
            return count;
    }
}

bool Rises(uint32_t earlier, uint32_t later, int ch)
{
    return !((earlier >> ch) & 1) && ((later >> ch) & 1);
}

TEST(TriggerEndToEnd, AnI2cStartLandsOnTheTriggerSample)
{
    AnalyzerWindow w(4, Emulated(4, "scene=i2c,clock=100000"));
    EditTrigger(w, [](TBusEdit &d) {
        d.PageButtons[0]->click();
        GridFrame &g = *d.Grids()[0];
        g.MenuItemClick(AllDontCare);
        SetCondition(g, 1, Falling); // SDA
        SetCondition(g, 0, High);    // SCL
    });
    EXPECT_EQ(w.Settings().TriggerType, 1);
    EXPECT_EQ(w.Settings().TriggerCondition[0][1], CFile::CondFall);
    ASSERT_TRUE(SingleRun(w));
    const uint32_t trigger = w.Record().TriggerAddress;
    EXPECT_EQ(trigger, w.Analyzer().LastCapture()->TriggerAddress);
    const uint32_t before = At(w, Step(w, trigger, -1));
    const uint32_t now = At(w, trigger);
    EXPECT_EQ(now & 3u, 1u) << "SCL high, SDA low at the trigger";
    EXPECT_EQ(before & 3u, 3u) << "both high before it";
    EXPECT_TRUE(w.Messages().isEmpty()) << w.Messages().join("|").toStdString();
}

TEST(TriggerEndToEnd, CancelSendsTheSettingsThatWereThere)
{
    AnalyzerWindow w(5, Emulated(5));
    w.SetCounterTrigger();
    const auto before = w.Settings().TriggerCondition;
    int seen = 0;
    ModalAnswerer answer([&seen](QWidget *dialog) {
        if (auto *bus = qobject_cast<TBusEdit *>(dialog)) {
            ++seen;
            EXPECT_EQ(bus->PageControl->currentIndex(), TBusEdit::TriggerPageIndex);
            bus->Grids()[0]->MenuItemClick(7); // All High
            bus->Info()->TrigCounter->setText("9");
            bus->btn_Cancel->click();
        }
    });
    w.form->AdvancedTrigger1->trigger(); // the pattern pop-up's command
    EXPECT_EQ(seen, 1);
    ASSERT_TRUE(SingleRun(w));
    EXPECT_EQ(w.Analyzer().Record().TriggerCondition, before);
    EXPECT_EQ(w.Analyzer().Record().TriggerCounter, 1);
}

TEST(TriggerEndToEnd, APulseWidthTriggerFiresOnTheFirstPulseBeyondTheWidth)
{
    struct Case
    {
        int model; // 9: the width goes in the run-parameter image
        int row;   // model 9 samples at its fastest rate (row 0) on the internal clock
        int compare;
        int widthNs;
        const char *baud;
    };
    for (const Case &k : {Case{3, Row10us, 2, 250000, "9600"}, Case{9, 0, 0, 12000, "115200"}}) {
        const bool longer = k.compare == 2;
        SCOPED_TRACE(longer ? "longer" : "shorter");
        // UART low pulses of 1, 2, 3 and 4 bit times over and over.
        AnalyzerWindow w(k.model,
                         Emulated(k.model, std::string("scene=uart,data=FFFEFCF8,baud=") + k.baud));
        EditTrigger(w, [&k](TBusEdit &d) {
            d.PageButtons[4]->click();
            CPulseWidth *p = d.PulseWidth();
            ASSERT_NE(p, nullptr);
            p->ChannelList->setCurrentIndex(4);
            p->LevelList->setCurrentIndex(1); // a low pulse
            p->CompareList->setCurrentIndex(k.compare);
            p->WholeEdit->setText(QString::number(k.widthNs / 1000));
            p->FractionEdit->setText(QString::number(k.widthNs % 1000));
            p->UnitList->setCurrentIndex(1); // uS
        });
        EXPECT_EQ(w.Settings().TriggerType, 5);
        EXPECT_EQ(w.Settings().PulseWhole, k.widthNs / 1000);
        ASSERT_TRUE(SingleRun(w, k.row));
        const uint32_t trigger = w.Record().TriggerAddress;
        const auto &c = *w.Analyzer().LastCapture();
        EXPECT_EQ(trigger, c.TriggerAddress);
        constexpr int Ch = 4;
        const auto period =
            EmulatedCapture::SamplePeriodPs(ModelTable::Model(k.model), k.row) / 1000;
        const int width = k.widthNs / static_cast<int>(period);
        auto beyond = [&](int run) { return longer ? run > width : run < width; };
        ASSERT_EQ((At(w, trigger) >> Ch) & 1, 1u) << "the pulse ends at the trigger";
        // No low pulse that ended since the trigger unit was armed (counted
        // from there) was beyond the width; the one ending at the trigger is.
        int run = 0;
        for (uint32_t a = c.ArmAddress; a != trigger; a = Step(w, a, 1)) {
            const bool low = !((At(w, a) >> Ch) & 1);
            if (!low && run > 0) {
                EXPECT_FALSE(beyond(run)) << run;
                run = 0;
            }
            run += low ? 1 : 0;
        }
        EXPECT_TRUE(beyond(run)) << run;
    }
}

TEST(TriggerEndToEnd, APulseWidthOfMoreThan32767SamplesStillTriggers)
{
    // The counter's CH13 is high for 65536 samples (26 ms at 400 ns).
    AnalyzerWindow w(5, Emulated(5));
    EditTrigger(w, [](TBusEdit &d) {
        d.PageButtons[4]->click();
        d.PulseWidth()->ChannelList->setCurrentIndex(13);
        d.PulseWidth()->CompareList->setCurrentIndex(2); // longer than 16 ms: 40000 samples
        d.PulseWidth()->WholeEdit->setText("16");
        d.PulseWidth()->FractionEdit->setText("0");
        d.PulseWidth()->UnitList->setCurrentIndex(2); // mS
    });
    ASSERT_TRUE(SingleRun(w));
    const uint32_t trigger = w.Record().TriggerAddress;
    EXPECT_EQ(trigger, w.Analyzer().LastCapture()->TriggerAddress);
    EXPECT_EQ((At(w, Step(w, trigger, -1)) >> 13) & 1, 1u);
    EXPECT_EQ((At(w, trigger) >> 13) & 1, 0u);
}

TEST(TriggerEndToEnd, TheCounterFiresOnThatOccurrence)
{
    // Models 9 and 10 take the counter in the run-parameter image.
    for (auto [model, times] : {std::pair{5, 1}, {5, 3}, {9, 3}, {10, 7}}) {
        SCOPED_TRACE(testing::Message() << "model " << model << ", " << times << " times");
        AnalyzerWindow w(model, Emulated(model));
        EditTrigger(w, [times = times](TBusEdit &d) {
            d.PageButtons[0]->click();
            d.Grids()[0]->MenuItemClick(AllDontCare);
            SetCondition(*d.Grids()[0], 0, Rising);
            d.Info()->TrigCounter->setText(QString::number(times));
        });
        EXPECT_EQ(w.Settings().TriggerCounter, times);
        ASSERT_TRUE(SingleRun(w));
        EXPECT_EQ(w.Record().TriggerAddress, w.Analyzer().LastCapture()->TriggerAddress);
        EXPECT_EQ(Occurrences(w, [](uint32_t e, uint32_t l) { return Rises(e, l, 0); }), times);
    }
}

TEST(TriggerEndToEnd, APositiveDelayMovesTheRecordByThatDelay)
{
    AnalyzerWindow w(6, Emulated(6));
    w.SetCounterTrigger();
    ASSERT_TRUE(SingleRun(w));
    const uint32_t post = w.Analyzer().Settings().PostTriggerBytes;

    ModalAnswerer keypad([](QWidget *dialog) {
        if (auto *d = qobject_cast<Tform_delay *>(dialog)) {
            d->edit_number->setText("20");
            d->UnitList->setCurrentIndex(1); // uS
            d->btn_OK->click();
        }
    });
    w.form->Button1->click();
    EXPECT_EQ(w.Acquisition().Delay, WTime::Of(0, 0, 20));
    EXPECT_TRUE(w.form->Edit1->text().startsWith("20")) << w.form->Edit1->text().toStdString();
    ASSERT_TRUE(SingleRun(w));
    const uint32_t delayed = w.Analyzer().Settings().PostTriggerBytes;
    EXPECT_EQ(delayed - post, 4 * 20000 / PeriodNs);
    const auto &c = *w.Analyzer().LastCapture();
    EXPECT_EQ((c.EndAddress - c.TriggerAddress) & w.Record().RingMask(), delayed);
    // The record is placed around the delayed point, the delay after the
    // trigger sample the analyzer found.
    EXPECT_EQ(w.Record().TriggerAddress, Step(w, c.TriggerAddress, 20000 / PeriodNs));
    EXPECT_EQ(w.Settings().DelayGroups[2], 20);
}

TEST(TriggerEndToEnd, TheExternalClockIsWhatTheAnalyzerSamplesOn)
{
    // A counter step every 400 ns: one sample at the internal 400 ns, four
    // on the 10 MHz external clock.
    for (bool external : {false, true}) {
        SCOPED_TRACE(external);
        AnalyzerWindow w(4, Emulated(4, "tick=400"));
        EditTrigger(w, [external](TBusEdit &d) {
            d.PageButtons[0]->click();
            d.Grids()[0]->MenuItemClick(AllDontCare);
            SetCondition(*d.Grids()[0], 0, Rising);
            if (external)
                d.Info()->TriggerModeGroup->findChild<QRadioButton *>("TriggerMode1")->click();
        });
        EXPECT_EQ(w.Settings().ClockSource, external ? 1 : 0);
        ASSERT_TRUE(SingleRun(w));
        const uint32_t trigger = w.Record().TriggerAddress;
        int high = 0;
        for (uint32_t a = trigger; At(w, a) & 1; a = Step(w, a, 1))
            ++high;
        EXPECT_EQ(high, external ? 4 : 1);
    }
}

struct LevelCase
{
    int model;
    bool userMaximum; // else ECL
    uint32_t port1;   // what CH0..CH7 read throughout
};

class LevelEndToEnd : public testing::TestWithParam<LevelCase>
{
};

TEST_P(LevelEndToEnd, APortReadsThroughItsThreshold)
{
    const LevelCase &c = GetParam();
    AnalyzerWindow w(c.model, Emulated(c.model));
    Tform_Triglevel dialog(w.form.get());
    dialog.Begin(0, w.Settings());
    if (c.userMaximum)
        dialog.Slider->setValue(dialog.Slider->maximum());
    else
        dialog.StandardList->setCurrentIndex(2);
    dialog.btn_OK->click();
    ASSERT_TRUE(SingleRun(w)); // no trigger condition: it fires at once
    for (uint32_t n = 0; n < w.Record().DepthSamples; n += 7)
        ASSERT_EQ(At(w, w.Record().SampleAddress(n)) & 0xFFu, c.port1) << n;
}

INSTANTIATE_TEST_SUITE_P(Models, LevelEndToEnd,
                         testing::Values(LevelCase{3, true, 0x00}, LevelCase{3, false, 0xFF},
                                         LevelCase{9, true, 0x00}, LevelCase{9, false, 0xFF}));

} // namespace
