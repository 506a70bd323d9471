// The CPU Map page over a host of its own and captures of the emulated
// instrument: the tab toggle, the swatches, Start drawing the map and the
// charts, Step filling the log, the pointer read-out and a model without the
// map's channels. (The main window's tool button: tests/analyzer.)

#include "cpumap/CPUMapChart.h"
#include "cpumap/CPUMapPage.h"
#include "display/TPaintBox.h"
#include "tests/protocols/PageHostFake.h"

#include "CpuShot.h"

#include <QAction>
#include <QApplication>
#include <QBarSet>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

using namespace cpumap_test;

namespace {

void Send(QWidget *target, QEvent::Type type, QPoint at)
{
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), Qt::LeftButton,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// A series' values from the top bar down (the chart lists them bottom up).
QStringList Values(const QBarSet *set)
{
    QStringList out;
    for (int i = set->count() - 1; i >= 0; --i)
        out << QString::number(set->at(i));
    return out;
}

TEST(CpuMapPage, TheToolButtonTogglesTheTabAndASwatchTakesTheChosenColour)
{
    PageHostFake host(8);
    CPUMapPage p(host, host.Pages, host.Sheet, &host.Button);
    const int tab = PageHostFake::PageTab;
    p.Map_Check[CCPU_Map::ROM1_R]->setChecked(false);
    p.btn_CPU_MapClick();
    EXPECT_TRUE(host.Pages->isTabVisible(tab));
    EXPECT_EQ(host.Pages->currentIndex(), tab);
    EXPECT_TRUE(host.Button.isChecked());
    EXPECT_TRUE(p.Map_Check[CCPU_Map::ROM1_R]->isChecked()) << "showing the tab checks it";
    EXPECT_EQ(p.CPU_TypeBox->currentText(), "16Bits");

    QColor offered;
    p.ChooseColor = [&offered](const QColor &current) {
        offered = current;
        return QColor(1, 2, 3);
    };
    Send(p.Map_Shape[CCPU_Map::RAM1_R], QEvent::MouseButtonRelease, {3, 3});
    EXPECT_EQ(offered, QColor(0, 255, 0)) << "lime";
    EXPECT_EQ(p.ShapeColors[CCPU_Map::RAM1_R], 0x030201);
    p.ChooseColor = [](const QColor &) { return QColor(); };
    Send(p.Map_Shape[CCPU_Map::RAM1_R], QEvent::MouseButtonRelease, {3, 3});
    EXPECT_EQ(p.ShapeColors[CCPU_Map::RAM1_R], 0x030201) << "cancelled";

    p.btn_CPU_MapClick();
    EXPECT_FALSE(host.Pages->isTabVisible(tab));
    EXPECT_EQ(host.Pages->currentIndex(), 0);
    EXPECT_FALSE(host.Button.isChecked());
}

// The colour dialog is the host's window's, and the host's timers pause
// while it is open.
TEST(CpuMapPage, TheColourDialogPausesTheHostsTimers)
{
    PageHostFake host(8);
    CPUMapPage p(host, host.Pages, host.Sheet, &host.Button);
    int seen = 0;
    ModalAnswerer answer([&](QWidget *dialog) {
        auto *colours = qobject_cast<QColorDialog *>(dialog);
        ASSERT_NE(colours, nullptr);
        ++seen;
        EXPECT_EQ(colours->objectName(), "Map_ColorDialog");
        EXPECT_EQ(colours->parentWidget(), &host.window);
        EXPECT_EQ(host.suspends, 1);
        EXPECT_EQ(host.resumes, 0);
        colours->setCurrentColor(QColor(4, 5, 6));
        colours->accept();
    });
    Send(p.Map_Shape[CCPU_Map::RAM1_R], QEvent::MouseButtonRelease, {3, 3});
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(host.resumes, 1);
    EXPECT_EQ(p.ShapeColors[CCPU_Map::RAM1_R], 0x060504);
}

TEST(CpuMapPage, StartDrawsTheSceneAndStepLogsItsCycles)
{
    PageHostFake host(CpuModel, CpuScene);
    host.Capture(CpuRow, SetCpuTrigger);

    CPUMapPage p(host, host.Pages, host.Sheet, &host.Button);
    p.btn_CPU_MapClick();
    for (QCheckBox *check : p.Map_Check)
        check->setChecked(true);
    // Figures for the performance notes (printed, never asserted).
    QElapsedTimer clock;
    clock.start();
    p.Map_Btn_Start->click();
    const qint64 startNs = clock.nsecsElapsed();
    host.Sheet->repaint();
    std::printf("Start %.1f ms, painting the page %.1f ms\n", startNs / 1e6,
                (clock.nsecsElapsed() - startNs) / 1e6);
    EXPECT_TRUE(host.Messages().isEmpty());
    EXPECT_EQ(p.Map.Cycles(), Programme().size());
    for (int g = 0; g < CCPU_Map::GroupCount; ++g)
        EXPECT_TRUE(p.Map_PerformanceTabs->isTabVisible(g)) << g;
    EXPECT_EQ(p.Map_Image->width(), CpuMapImage::MapWidth);
    EXPECT_EQ(p.Map_Image->height(), 1024);

    const CPUMapChart &rom = *p.Charts[CCPU_Map::RomGroup];
    EXPECT_EQ(rom.Categories(),
              QStringList({"ROM2 00000-03FFF", "ROM2 04000-040FF", "ROM2 04100-041FF",
                           "ROM2 04200-042FF", "ROM2 04300-043FF", "ROM2 04400-1FFFF",
                           "ROM1 00000-000FF", "ROM1 00100-1FFFF"}));
    EXPECT_EQ(rom.Series(0)->label(), "ROM2");
    EXPECT_EQ(Values(rom.Series(0)), QStringList({"0", "2", "2", "2", "2", "0", "0", "0"}));
    EXPECT_EQ(Values(rom.Series(1)), QStringList({"0", "0", "0", "0", "0", "0", "64", "0"}));
    EXPECT_EQ(rom.Series(1)->color(), QColor(Qt::blue)) << "ROM#1 read's swatch";
    EXPECT_EQ(rom.BarTexts(), QStringList({"25.0%", "25.0%", "25.0%", "25.0%", "100.0%"}));
    EXPECT_EQ(rom.HoverText(6), "ROM2 04000-040FF: 2") << "categories count from the bottom";
    EXPECT_EQ(rom.HoverText(0), "ROM1 00100-1FFFF: 0");
    p.Map_PageControl->setCurrentIndex(1);
    p.Map_PerformanceTabs->setCurrentIndex(CCPU_Map::RomGroup);
    p.Map_StyleSelectBox->setCurrentIndex(2);
    emit p.Map_StyleSelectBox->activated(2);
    EXPECT_EQ(rom.BarTexts(),
              QStringList({"2 (2.8%)", "2 (2.8%)", "2 (2.8%)", "2 (2.8%)", "64 (88.9%)"}));
    KeepScreenshot(host.window, "cpu-map-charts.png");

    p.Map_BlockSelectBox->setCurrentIndex(2); // 1K
    emit p.Map_BlockSelectBox->activated(2);
    EXPECT_EQ(p.Charts[CCPU_Map::IoGroup]->Categories(),
              QStringList({"IO2 00000-0DFFF", "IO2 0E000-0E3FF", "IO2 0E400-1FFFF",
                           "IO1 00000-0BFFF", "IO1 0C000-0C3FF", "IO1 0C400-1FFFF"}));

    p.Map_PageControl->setCurrentIndex(0);
    Send(p.Map_Image, QEvent::MouseMove, {9, 13});
    EXPECT_EQ(p.Map_Str_Pos->text(), "608 - 60B");
    KeepScreenshot(host.window, "cpu-map.png");

    for (int i = 0; i < 3; ++i)
        p.Map_Btn_Step->click();
    EXPECT_EQ(
        p.Map_Memo->toPlainText().split('\n'),
        QStringList({"Step: 1  ROM:Read , Address: 0050", "Step: 1  RAM:Read , Address: 0050",
                     "Step: 1  IO:Read , Address: 0050", "Step: 2  ROM:Read , Address: 0052",
                     "Step: 2  RAM:Read , Address: 0052", "Step: 2  IO:Read , Address: 0052",
                     "Step: 3  ROM:Write , Address: 8001", "Step: 3  RAM:Write , Address: 8001",
                     " >> Step: 3  IO:Write , Address: 8001"}));
    EXPECT_TRUE(rom.Categories().isEmpty()) << "stepping starts with empty charts";
    KeepScreenshot(host.window, "cpu-map-step-log.png");

    p.Map_Btn_ClearIMG->click();
    EXPECT_TRUE(p.Map_Memo->toPlainText().isEmpty());
    p.Map_Btn_Step->click();
    EXPECT_EQ(p.Map_Memo->toPlainText().split('\n').size(), 3) << "from the first cycle again";
}

TEST(CpuMapPage, ASixteenChannelModelGetsTheGridEmptyChartsAndAMessage)
{
    PageHostFake host(5, CpuScene);
    host.bench.acquisition->SingleRun();
    host.bench.Tick();
    CPUMapPage p(host, host.Pages, host.Sheet, &host.Button);
    p.btn_CPU_MapClick();
    p.Map_Btn_Start->click();
    ASSERT_EQ(host.Messages().size(), 1);
    EXPECT_TRUE(host.Messages().front().startsWith("This model has 16 channels"))
        << host.Messages()[0].toStdString();
    EXPECT_EQ(p.Map.Cycles(), 0u);
    EXPECT_EQ(p.Charts[CCPU_Map::RomGroup]->Categories(),
              QStringList({"ROM2 00000-1FFFF", "ROM1 00000-1FFFF"}));
    EXPECT_TRUE(p.Charts[CCPU_Map::RomGroup]->BarTexts().isEmpty());
    p.Map_Btn_Step->click();
    p.Map_Btn_Step->click();
    EXPECT_TRUE(p.Map_Memo->toPlainText().isEmpty());
}

} // namespace
