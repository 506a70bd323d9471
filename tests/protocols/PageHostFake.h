#pragma once

// A page's host without the main window: the model tables, the settings and
// capture records of an acquisition bench over the emulated instrument, and
// a window with a page control whose first tab stands for the waveform page
// and whose second (hidden until the page shows it) is the page's sheet,
// with the menu item and tool button that toggle it. Messages are recorded,
// not shown. It answers both the protocol pages and the CPU Map page.

#include "cpumap/CPUMapHost.h"
#include "protocols/ProtocolPageHost.h"
#include "tests/analyzer/AcquisitionBench.h"
#include "tests/analyzer/AnalyzerGuiHelpers.h"

#include <QAction>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <functional>
#include <string>

class PageHostFake : public ProtocolPageHost, public CPUMapHost
{
public:
    // Model `model` over an emulated analyzer of that model showing `scene`
    // (TRACEMOOR_DEVICE items after the model).
    explicit PageHostFake(int model, const std::string &scene = {})
        : bench(model, "model=" + std::to_string(model) + (scene.empty() ? "" : "," + scene))
    {
        window.setObjectName(QStringLiteral("PageWindow"));
        window.resize(1016, 720);
        auto *layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        Pages = new QTabWidget(&window);
        layout->addWidget(Pages);
        Pages->addTab(new QWidget(Pages), QStringLiteral("Waveform"));
        Sheet = new QWidget(Pages);
        Pages->addTab(Sheet, QStringLiteral("Page"));
        Pages->setTabVisible(PageTab, false);
        MenuItem.setCheckable(true);
        Button.setCheckable(true);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    static constexpr int PageTab = 1;
    ProtocolPageTab Tab() { return {Pages, Sheet, &MenuItem, &Button}; }

    // One single run at time/div row `row` with the settings `setUp` makes;
    // the capture must be valid.
    void Capture(int row, const std::function<void(CFile &)> &setUp)
    {
        setUp(bench.settings);
        bench.window.divIndex = row;
        bench.acquisition->SingleRun();
        bench.Tick();
        ASSERT_EQ(bench.record->CaptureValid, 1);
    }

    // A run triggered on the first start bit after a pause: a high pulse
    // longer than `pulseUs` on `channel`, 10 % of `depthIndex` before it.
    void CaptureAfterPause(int row, int depthIndex, int channel, uint16_t pulseUs)
    {
        Capture(row, [&](CFile &s) {
            s.TriggerType = 5;
            s.PulseChannel = static_cast<uint8_t>(channel);
            s.PulsePolarity = 0;
            s.PulseCompare = 2;
            s.PulseUnit = 2;
            s.PulseWhole = pulseUs;
            s.MemoryDepthIndex = static_cast<int16_t>(depthIndex);
            s.MemoryPercent = 1;
        });
    }

    QStringList Messages() const
    {
        QStringList texts;
        for (const auto &m : recorder.messages)
            texts << m.text;
        return texts;
    }

    WSystem &System() override { return bench.system; }
    CFile &Settings() override { return bench.settings; }
    CCaptureRecord &Record() override { return *bench.record; }
    UartCanTiming DecodeTiming() override
    {
        UartCanTiming timing;
        timing.SamplePeriod = bench.timeBase->SamplePeriod;
        timing.TriggerEvent = TriggerEvent;
        timing.PreSpan = bench.timeBase->PreSpan;
        return timing;
    }
    QWidget *DialogParent() override { return &window; }
    void SuspendTimers() override { ++suspends; }
    void ResumeTimers() override { ++resumes; }

    AcquisitionBench bench;
    MessageRecorder recorder;
    WTime TriggerEvent; // the trigger cursor's time the timing gives
    QWidget window;
    QTabWidget *Pages = nullptr;
    QWidget *Sheet = nullptr;
    QAction MenuItem;
    QAction Button;
    int suspends = 0;
    int resumes = 0;
};
