// Moving around a capture by keys and mouse wheel as engineers expect: the
// waveform's keys and wheel, the keys that stay with the boxes that have the
// focus, the scroll bar's steps at every time/div row and the Listing's keys.
// Times are checked in whole picoseconds, apart from the program's own time
// arithmetic.

#include "AnalyzerWindowFixture.h"

#include "display/CListMode.h"
#include "display/CWaveform.h"
#include "display/TPaintBox.h"
#include "display/WCursor.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QWheelEvent>

namespace {

int64_t Ps(const WTime &t)
{
    int64_t v = 0;
    for (int k = WTime::GroupCount - 1; k >= 0; --k)
        v = v * 1000 + static_cast<int64_t>(t.g[static_cast<size_t>(k)]);
    return t.IsNegative() ? -v : v;
}

WTime FromPs(int64_t ps)
{
    WTime t;
    const uint64_t m = static_cast<uint64_t>(ps < 0 ? -ps : ps);
    uint64_t rest = m;
    for (size_t k = 0; k < 4; ++k) {
        t.g[k] = static_cast<uint32_t>(rest % 1000);
        rest /= 1000;
    }
    t.g[4] = static_cast<uint32_t>(rest);
    t.sign = ps < 0 ? 0 : 1;
    return t;
}

// A Demo capture on show, stopped, at 2.5 us per division, the waveform
// focused and its window active (shortcuts need it).
class Keys : public testing::Test
{
public:
    void SetUp() override
    {
        w.Acquisition().DemoPauseMs = 0;
        w.form->AutoScaleButton->trigger();
        ASSERT_TRUE(WaitFor([this] { return w.Record().CaptureValid == 1; }));
        w.form->StopButton->trigger();
        ASSERT_TRUE(w.WaitIdle());
        w.form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.form.get()));
        ZoomTo(7);
        Plot()->setFocus();
        View(0);
    }

    CWaveform &Wave() { return *w.form->Waveform; }
    QWidget *Plot() { return Wave().Device.PlotPanel; }
    QWidget *Box() { return Wave().Device.PaintBox; }
    void ZoomTo(int row)
    {
        w.form->DivComboBox->setCurrentIndex(row);
        w.form->DivComboBoxChange();
    }
    void View(int64_t ps)
    {
        Wave().SetViewPosition(FromPs(ps));
        w.form->RedrawWaveform();
    }
    int64_t ViewPs() { return Ps(Wave().ViewPosition); }
    int64_t Tpp() { return Ps(Wave().TimePerPixel); }
    int Width() { return Wave().PanelWidth; }
    int TriggerX() { return Wave().PreTriggerPercent * Width() / 100; }
    int64_t FirstPs() { return -Ps(Wave().PreSpan); }
    int64_t LastPs() { return Ps(Wave().PostSpan); }
    int64_t Kept(int64_t ps) { return std::clamp(ps, FirstPs(), LastPs()); }
    void Wheel(QPoint delta, Qt::KeyboardModifiers mods, int x)
    {
        const QPointF at(x, 100);
        QWheelEvent e(at, Box()->mapToGlobal(at), QPoint(), delta, Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(Box(), &e);
    }

    AnalyzerWindow w{0, {}};
};

TEST_F(Keys, WaveformKeysMoveTheView)
{
    struct Case
    {
        const char *what;
        Qt::Key key;
        int64_t start;
        std::function<int64_t(Keys &)> expected;
    };
    const Case cases[] = {
        {"Right", Qt::Key_Right, 0, [](Keys &k) { return k.Width() / 10 * k.Tpp(); }},
        {"Left", Qt::Key_Left, 0, [](Keys &k) { return -k.Width() / 10 * k.Tpp(); }},
        {"PgDn", Qt::Key_PageDown, 0, [](Keys &k) { return k.Kept(k.Width() * k.Tpp()); }},
        {"PgUp", Qt::Key_PageUp, 0, [](Keys &k) { return k.Kept(-k.Width() * k.Tpp()); }},
        {"PgUp at the start", Qt::Key_PageUp, -1, [](Keys &k) { return k.FirstPs(); }},
        {"Home", Qt::Key_Home, 0, [](Keys &k) { return k.FirstPs(); }},
        {"End", Qt::Key_End, 0, [](Keys &k) { return k.LastPs(); }},
        {"T", Qt::Key_T, 1234567, [](Keys &) { return int64_t{0}; }},
    };
    for (const Case &c : cases) {
        View(c.start < 0 ? FirstPs() : c.start);
        QTest::keyClick(Plot(), c.key);
        EXPECT_EQ(ViewPs(), c.expected(*this)) << c.what;
        EXPECT_EQ(w.form->Edit1->text().toStdString(), Wave().DelayText()) << c.what;
    }
    EXPECT_EQ(w.form->DivComboBox->currentIndex(), 7) << "no key reached the DIV box";
}

TEST_F(Keys, ZoomKeysAndTheMenusShowThem)
{
    struct Case
    {
        Qt::Key key;
        int row;
    };
    for (const Case c : {Case{Qt::Key_Plus, 6}, Case{Qt::Key_Equal, 5}, Case{Qt::Key_Minus, 6}}) {
        QTest::keyClick(Plot(), c.key);
        EXPECT_EQ(Wave().TimeDivIndex, c.row) << QKeySequence(c.key).toString().toStdString();
        EXPECT_EQ(w.form->DivComboBox->currentIndex(), c.row);
    }
    struct Shown
    {
        QAction *item;
        const char *key;
    };
    const Shown shown[] = {
        {w.form->Load, "Ctrl+O"},          {w.form->Save, "Ctrl+S"},
        {w.form->Print1, "Ctrl+P"},        {w.form->Exit1, "Ctrl+Q"},
        {w.form->RunRepetitive1, "F5"},    {w.form->SingleRun, "F6"},
        {w.form->Stop2, "Esc"},            {w.form->ZoomIn1, "+"},
        {w.form->ZoomOut1, "-"},           {w.form->GOTO1, "Home"},
        {w.form->GOTOEnd1, "End"},         {w.form->GOTOTrigger1, "T"},
    };
    for (const Shown &s : shown)
        EXPECT_EQ(s.item->shortcut().toString().toStdString(), s.key)
            << s.item->objectName().toStdString();
    EXPECT_TRUE(w.form->Stop2->shortcuts().contains(QKeySequence(Qt::Key_F8)));
}

TEST_F(Keys, RunKeysStartAndStopACapture)
{
    QTest::keyClick(Plot(), Qt::Key_F5);
    EXPECT_TRUE(w.form->Acquisition->Running);
    QTest::keyClick(Plot(), Qt::Key_Escape);
    EXPECT_TRUE(w.WaitIdle());
    QTest::keyClick(w.form->DivComboBox, Qt::Key_F6); // from any control
    EXPECT_TRUE(w.form->Acquisition->Running);
    QTest::keyClick(Plot(), Qt::Key_F8);
    EXPECT_TRUE(w.WaitIdle());
}

// The keys the issue found changing the boxes: with the waveform focused
// they move the view; with a box focused the box keeps them.
TEST_F(Keys, BoxesKeepTheirKeysAndNoOthers)
{
    const Qt::Key keys[] = {Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown,
                            Qt::Key_Space, Qt::Key_Plus, Qt::Key_Minus, Qt::Key_T};
    for (const Qt::Key key : keys) {
        ZoomTo(7);
        Plot()->setFocus();
        QTest::keyClick(Plot(), key);
        EXPECT_EQ(w.form->Memory_Depth_ComboBox->currentIndex(), w.Settings().MemoryDepthIndex);
        if (key != Qt::Key_Plus && key != Qt::Key_Minus) {
            EXPECT_EQ(w.form->DivComboBox->currentIndex(), 7)
                << QKeySequence(key).toString().toStdString();
        }
    }
    ZoomTo(7);
    View(0);
    w.form->Memory_Depth_ComboBox->setFocus();
    for (const Qt::Key key : {Qt::Key_T, Qt::Key_Plus, Qt::Key_Minus, Qt::Key_Right, Qt::Key_1}) {
        QTest::keyClick(w.form->Memory_Depth_ComboBox, key);
        EXPECT_EQ(ViewPs(), 0) << QKeySequence(key).toString().toStdString();
        EXPECT_EQ(Wave().TimeDivIndex, 7) << QKeySequence(key).toString().toStdString();
    }
    EXPECT_EQ(w.form->Cursors->Count(), 0);
    // The box's own keys still work for it.
    w.form->DivComboBox->setFocus();
    QTest::keyClick(w.form->DivComboBox, Qt::Key_Home);
    EXPECT_EQ(w.form->DivComboBox->currentIndex(), 0);
}

TEST_F(Keys, AClickGivesTheWaveformAndTheListTheFocus)
{
    w.form->DivComboBox->setFocus();
    QTest::mouseClick(Box(), Qt::LeftButton, {}, QPoint(200, 100));
    EXPECT_TRUE(Plot()->hasFocus());
    w.form->PageControl1->setCurrentIndex(AcquisitionWindow::ListPage);
    w.form->DivComboBox->setFocus();
    QWidget *grid = w.form->ListMode->Grid()->viewport();
    QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(30, 60));
    EXPECT_TRUE(w.form->ListMode->Grid()->hasFocus());
}

TEST_F(Keys, CursorKeysPutAAndBAtThePointer)
{
    struct Case
    {
        Qt::Key key;
        char name;
        int x;
    };
    // Columns as fractions of the plot's width (in tenths).
    const Case cases[] = {{Qt::Key_2, 'B', 8}, {Qt::Key_1, 'A', 2}, {Qt::Key_1, 'A', 6}};
    for (Case c : cases) {
        c.x = Width() * c.x / 10;
        QTest::mouseMove(Box(), QPoint(c.x, 120));
        QTest::keyClick(Plot(), c.key);
        const WCursor::Cursor *cursor = w.form->Cursors->FindCursor(c.name);
        ASSERT_NE(cursor, nullptr) << c.name;
        const int64_t trigger = Ps(w.form->Cursors->TriggerCursor().Time);
        EXPECT_EQ(Ps(cursor->Time) + trigger, (c.x - TriggerX()) * Tpp()) << c.name << c.x;
        EXPECT_EQ(w.form->Cursors->Selected(), cursor);
        // Its line is drawn where the pointer was.
        EXPECT_EQ(cursor->MarkerLeft, c.x - WCursor::TipOffset) << c.name;
    }
    EXPECT_EQ(w.form->Cursors->Count(), 2);
}

TEST_F(Keys, WheelZoomsAboutThePointerAndScrollsSideways)
{
    struct Case
    {
        const char *what;
        QPoint delta;
        Qt::KeyboardModifiers mods;
        int row;        // the time/div row afterwards
        int scrolled;   // tenths of the screen scrolled (no zoom)
    };
    const Case cases[] = {
        {"wheel away", {0, 120}, Qt::NoModifier, 6, 0},
        {"wheel towards", {0, -120}, Qt::NoModifier, 8, 0},
        {"two notches", {0, 240}, Qt::NoModifier, 5, 0},
        {"Ctrl+wheel", {0, 120}, Qt::ControlModifier, 6, 0},
        {"half a notch", {0, 60}, Qt::NoModifier, 7, 0},
        {"Shift+wheel towards", {0, -120}, Qt::ShiftModifier, 7, 1},
        {"Shift+wheel away", {0, 120}, Qt::ShiftModifier, 7, -1},
        {"sideways right", {-120, 0}, Qt::NoModifier, 7, 1},
        {"sideways left", {120, 0}, Qt::NoModifier, 7, -1},
    };
    const int x = Width() * 7 / 10;
    for (const Case &c : cases) {
        ZoomTo(7);
        View(0);
        const int64_t before = ViewPs() + (x - TriggerX()) * Tpp();
        const int64_t tenth = Width() / 10 * Tpp();
        Wheel(c.delta, c.mods, x);
        EXPECT_EQ(Wave().TimeDivIndex, c.row) << c.what;
        EXPECT_EQ(w.form->DivComboBox->currentIndex(), c.row) << c.what;
        if (c.scrolled != 0)
            EXPECT_EQ(ViewPs(), c.scrolled * tenth) << c.what;
        else
            EXPECT_EQ(ViewPs() + (x - TriggerX()) * Tpp(), before) << c.what << ": pointer time";
    }
}

// One arrow step of the time scroll bar is one division, one trough click a
// screen (or as far as the record goes), at every time/div row.
TEST_F(Keys, ScrollBarStepsADivisionAndAScreenAtEveryRow)
{
    QScrollBar *bar = Wave().Device.HScrollBar;
    for (int row = 0; row < 25; ++row) {
        ZoomTo(row);
        const bool samples = Wave().SamplesPerPixel == 0 && Wave().PixelsPerSample >= 100;
        const int64_t unit = samples ? Ps(Wave().SamplePeriod) : Tpp();
        const int64_t division = samples ? unit : 50 * Tpp();
        const int64_t screen =
            samples ? std::max<int64_t>(1, Width() / Wave().PixelsPerSample) * unit
                    : Width() * Tpp();
        for (const auto &[action, step] :
             {std::pair{QAbstractSlider::SliderSingleStepAdd, division},
              std::pair{QAbstractSlider::SliderPageStepAdd, screen}}) {
            View(0);
            ASSERT_EQ(bar->value(), 0);
            bar->triggerAction(action);
            const int64_t most = int64_t{bar->maximum()} * unit;
            EXPECT_EQ(ViewPs(), std::min(step, most))
                << "row " << row << (action == QAbstractSlider::SliderPageStepAdd ? " page" : "");
        }
    }
}

TEST_F(Keys, ListingKeysMoveTheList)
{
    w.form->PageControl1->setCurrentIndex(AcquisitionWindow::ListPage);
    CListMode &list = *w.form->ListMode;
    QWidget *grid = list.Grid();
    ASSERT_TRUE(grid->hasFocus());
    const int page = list.Rows().VisibleRows();
    struct Case
    {
        Qt::Key key;
        std::function<int32_t(int32_t)> to;
    };
    const int32_t first = list.Rows().RecordFirst();
    const int32_t last = list.Rows().RecordLast();
    const Case cases[] = {
        {Qt::Key_Down, [](int32_t p) { return p + 1; }},
        {Qt::Key_Up, [](int32_t p) { return p - 1; }},
        {Qt::Key_PageDown, [page](int32_t p) { return p + page; }},
        {Qt::Key_PageUp, [page](int32_t p) { return p - page; }},
        {Qt::Key_End, [last](int32_t) { return last; }},
        {Qt::Key_Down, [last](int32_t) { return last; }}, // stays at the end
        {Qt::Key_Home, [first](int32_t) { return first; }},
        {Qt::Key_Up, [first](int32_t) { return first; }},
    };
    list.SetPosition(0);
    for (const Case &c : cases) {
        const int32_t from = list.Position();
        QTest::keyClick(grid, c.key);
        EXPECT_EQ(list.Position(), c.to(from)) << QKeySequence(c.key).toString().toStdString();
        EXPECT_EQ(list.ScrollBar()->value(), list.Position());
    }
}

TEST_F(Keys, HelpMenuListsTheKeys)
{
    w.form->Keys1->trigger();
    ASSERT_NE(w.form->KeysBox, nullptr);
    EXPECT_TRUE(w.form->KeysBox->isVisible());
    auto *table = w.form->KeysBox->findChild<QTableWidget *>(QStringLiteral("KeyTable"));
    ASSERT_NE(table, nullptr);
    QStringList keys;
    for (int r = 0; r < table->rowCount(); ++r)
        keys << table->item(r, 1)->text();
    for (const char *k : {"Ctrl+O", "F5", "Esc, F8", "Left, Right", "Home, End", "T", "1, 2"})
        EXPECT_TRUE(keys.contains(QString::fromUtf8(k))) << k;
    w.form->KeysBox->close();
}

} // namespace
