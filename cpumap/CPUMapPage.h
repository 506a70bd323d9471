#pragma once

#include "cpumap/CCPU_Map.h"

#include <QColor>
#include <QObject>

#include <array>
#include <functional>

class CPUMapChart;
class CPUMapHost;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QWidget;
class TPaintBox;

// The page "CPU Map" (the main window's tab Tab_CPU_Map): the memory map
// with its address labels, the pointer read-out, the colour and enable rows,
// Start, Step with its log, Clear IMG, and the access charts of the
// Performance tab. The analysis is CCPU_Map's; the page copies its settings
// in and shows what it drew. Texts are fixed English. Controls carry their
// names as object names; the handlers are named after them. It reads the
// capture and reports through its host; it is shown on `sheet` of `pages`,
// which `button` shows and hides.
class CPUMapPage : public QObject
{
    Q_OBJECT

public:
    CPUMapPage(CPUMapHost &host, QTabWidget *pages, QWidget *sheet, QAction *button);
    ~CPUMapPage() override;

    // The defaults of the swatches and check boxes, by CCPU_Map::Function.
    static const std::array<TColor, CCPU_Map::FunctionCount> SwatchDefaults;
    static const std::array<bool, CCPU_Map::FunctionCount> CheckDefaults;

    CCPU_Map Map;

    QScrollArea *Map_ImageScrollBox = nullptr;
    TPaintBox *Map_LabelImage = nullptr;
    TPaintBox *Map_Image = nullptr;
    QTabWidget *Map_PageControl = nullptr;
    QComboBox *CPU_TypeBox = nullptr;
    QLabel *Map_Str_Pos = nullptr;
    std::array<QCheckBox *, CCPU_Map::FunctionCount> Map_Check{};
    std::array<QFrame *, CCPU_Map::FunctionCount> Map_Shape{};
    std::array<TColor, CCPU_Map::FunctionCount> ShapeColors{};
    QPlainTextEdit *Map_Memo = nullptr;
    QPushButton *Map_Btn_Start = nullptr;
    QPushButton *Map_Btn_Step = nullptr;
    QPushButton *Map_Btn_ClearIMG = nullptr;
    QComboBox *Map_BlockSelectBox = nullptr;
    QComboBox *Map_StyleSelectBox = nullptr;
    QPushButton *Map_btn_ChangeBlock = nullptr;
    QTabWidget *Map_PerformanceTabs = nullptr; // ROM, RAM, IO
    std::array<CPUMapChart *, CCPU_Map::GroupCount> Charts{};
    // Asks for a swatch's new colour (the colour dialog Map_ColorDialog
    // unless replaced);
    // an invalid colour keeps the old one.
    std::function<QColor(const QColor &current)> ChooseColor;

public slots:
    void btn_CPU_MapClick();
    void Tab_CPU_MapShow();
    void Map_Btn_StartClick();
    void Map_Btn_StepClick();
    void Map_Btn_ClearIMGClick();
    void Map_btn_ChangeBlockClick();
    void Map_BlockSelectBoxChange();
    void Map_StyleSelectBoxChange();
    // The pointer over the map at (x, y).
    void Map_ImageMouseMove(int x, int y);
    // A release over swatch `function`: the colour dialog.
    void Map_ShapeMouseUp(int function);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Build();
    QWidget *BuildSettingTab();
    QWidget *BuildPerformanceTab();
    void SetSwatch(int function, TColor color);
    // Colours and check boxes into the analysis; with `images` also the CPU
    // type (it fixes the map's size, so only where the pictures are rebuilt).
    void TakeSettings(bool images);
    void TakeBlockSize();
    // Places the record again and tells when the model lacks the channels
    // the map reads.
    CaptureWindow PrepareWindow();
    CaptureWindow Window() const;
    void RunAnalysis();
    void ShowImages();
    void ShowLog();
    void ShowCharts();

    CPUMapHost &host;
    QTabWidget *pageControl;
    QWidget *tabSheet;
    QAction *toolButton;
    int shownLines = 0;
};
