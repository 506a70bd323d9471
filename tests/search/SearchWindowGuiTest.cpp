// Search Next and Search Previous in the main window on a Demo capture: a
// match moves to the trigger column (the waveform page) or becomes the
// list's position (the Listing page), "No data Match." moves nothing, and
// nothing is searched while a run is active.

#include "../analyzer/AnalyzerWindowFixture.h"

#include "display/CListMode.h"
#include "display/CWaveform.h"
#include "search/TtDataSearch.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>

namespace {

// The sample index at the trigger column.
int64_t ShownIndex(const CWaveform &view)
{
    const auto n =
        static_cast<int64_t>(TimeToInt64(TimeDivide(view.ViewPosition, view.SamplePeriod).q));
    return view.ViewPosition.IsNegative() ? -n : n;
}

// Search Setting with these conditions (channel, level) in place of the list.
void SetConditions(AnalyzerWindow &w, const std::vector<std::pair<int, int>> &conditions)
{
    ModalAnswerer answer([&](QWidget *dialog) {
        auto *d = qobject_cast<TtDataSearch *>(dialog);
        if (!d)
            return;
        d->tBtn_Clear->click();
        for (const auto &[channel, level] : conditions) {
            d->tChannelBox->setCurrentIndex(d->tChannelBox->findText(
                QStringLiteral("CH%1 -- ").arg(channel), Qt::MatchStartsWith));
            d->tChannelBoxChange();
            d->tLevelBox->setCurrentIndex(level);
            d->tBtn_Add->click();
        }
        d->tBtn_OK->click();
    });
    w.form->FindSetting1->trigger();
    ASSERT_EQ(w.form->tDataSearch->Conditions(w.form->System().ChannelCount).size(),
              conditions.size());
}

TEST(SearchWindow, MatchesMoveToTheTriggerColumn)
{
    AnalyzerWindow w(0, {});
    CWaveform &view = *w.form->Waveform;
    w.form->AutoScaleButton->trigger();
    ASSERT_TRUE(WaitFor([&w] { return w.Record().CaptureValid == 1; }));
    w.form->StopButton->trigger();
    ASSERT_TRUE(w.WaitIdle());

    SetConditions(w, {{3, 1}});
    const int64_t before = ShownIndex(view);
    w.form->FindNext1->trigger();
    const int64_t next = ShownIndex(view);
    auto bit = [&](int64_t index) {
        return w.Record().ChannelBit(w.Record().TriggerAddress + 4 * static_cast<uint32_t>(index),
                                     3);
    };
    // The first sample of the next stretch of ones on CH3.
    ASSERT_GT(next, before);
    EXPECT_EQ(bit(next), 1);
    EXPECT_EQ(bit(next - 1), 0);
    EXPECT_TRUE(w.Messages().isEmpty());
    KeepScreenshot(*w.form, "search-found-match.png");
    // Back: the last sample of the stretch before it.
    w.form->SearchPrevious->trigger();
    const int64_t previous = ShownIndex(view);
    ASSERT_LT(previous, next);
    EXPECT_EQ(bit(previous), 1);
    EXPECT_EQ(bit(previous + 1), 0);

    // The Demo capture has equal halves: CH0 high with CH16 low never occurs.
    SetConditions(w, {{0, 1}, {16, 0}});
    w.form->SearchNext1->trigger(); // the waveform pop-up's item
    EXPECT_EQ(w.Messages(), QStringList{QStringLiteral("No data Match.")});
    EXPECT_EQ(ShownIndex(view), previous);

    // While a run is active the commands are off and search nothing.
    w.form->RunButton->trigger();
    EXPECT_FALSE(w.form->FindNext1->isEnabled());
    EXPECT_FALSE(w.form->SearchNext1->isEnabled());
    const WTime position = view.ViewPosition;
    w.form->FindNext1Click();
    EXPECT_EQ(view.ViewPosition, position);
    EXPECT_EQ(w.Messages().size(), 1);
    w.form->StopButton->trigger();
    EXPECT_TRUE(w.WaitIdle());
}

TEST(SearchWindow, OnTheListingPageAMatchBecomesTheListPosition)
{
    AnalyzerWindow w(0, {});
    w.form->AutoScaleButton->trigger();
    ASSERT_TRUE(WaitFor([&w] { return w.Record().CaptureValid == 1; }));
    w.form->StopButton->trigger();
    ASSERT_TRUE(w.WaitIdle());
    w.form->PageControl1->setCurrentIndex(AcquisitionWindow::ListPage);
    CListMode &list = *w.form->ListMode;
    auto bit = [&](int64_t index) {
        return w.Record().ChannelBit(w.Record().TriggerAddress + 4 * static_cast<uint32_t>(index),
                                     3);
    };

    SetConditions(w, {{3, 1}});
    list.SetPosition(list.Rows().RecordFirst());
    const WTime waveformAt = w.form->Waveform->ViewPosition;
    w.form->FindNext1->trigger();
    const int32_t first = list.Position();
    ASSERT_GT(first, list.Rows().RecordFirst());
    EXPECT_EQ(bit(first), 1);
    EXPECT_EQ(bit(first - 1), 0);
    // The next step goes on from the match, not from where the list was.
    w.form->FindNext1->trigger();
    const int32_t second = list.Position();
    ASSERT_GT(second, first);
    EXPECT_EQ(bit(second), 1);
    EXPECT_EQ(bit(second - 1), 0);
    w.form->FindPrevious1->trigger();
    EXPECT_LT(list.Position(), second);
    EXPECT_GE(list.Position(), first);
    EXPECT_TRUE(w.Messages().isEmpty());
    // Searching the list leaves the waveform page where it was.
    EXPECT_EQ(w.form->Waveform->ViewPosition, waveformAt);

    SetConditions(w, {{0, 1}, {16, 0}});
    const int32_t at = list.Position();
    w.form->FindNext1->trigger();
    EXPECT_EQ(w.Messages(), QStringList{QStringLiteral("No data Match.")});
    EXPECT_EQ(list.Position(), at);
}

} // namespace
