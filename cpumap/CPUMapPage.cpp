#include "cpumap/CPUMapPage.h"

#include "cpumap/CPUMapChart.h"
#include "cpumap/CPUMapHost.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "display/TPaintBox.h"
#include "ui/AppMessage.h"

#include <QAction>
#include <QBarSet>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

namespace {

constexpr const char *Suffixes[CCPU_Map::FunctionCount] = {"Line",   "ROM1_R", "ROM2_R", "RAM1_R",
                                                           "RAM1_W", "RAM2_R", "RAM2_W", "IO1_R",
                                                           "IO1_W",  "IO2_R",  "IO2_W"};
constexpr const char *Captions[CCPU_Map::FunctionCount] = {
    "Line",        "ROM#1 read", "ROM#2 read",  "RAM#1 read", "RAM#1 write", "RAM#2 read",
    "RAM#2 write", "I/O#1 read", "I/O#1 write", "I/O#2 read", "I/O#2 write"};
// The select line each row's region is read from.
constexpr const char *Channels[CCPU_Map::FunctionCount] = {
    "", "CH27", "CH26", "CH25", "CH25", "CH24", "CH24", "CH23", "CH23", "CH22", "CH22"};
constexpr const char *BlockTexts[] = {"256", "512", "1K",  "2K",  "4K",
                                      "8K",  "16K", "32K", "64K", "128K"};

QColor Colour(TColor c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

TColor ColorRef(const QColor &c)
{
    return static_cast<TColor>(c.red() | c.green() << 8 | c.blue() << 16);
}

QLabel *NewLabel(QWidget *parent, const char *name, const char *text)
{
    auto *label = new QLabel(QLatin1String(text), parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QPushButton *NewButton(QWidget *parent, const char *name, const char *caption)
{
    auto *button = new QPushButton(QLatin1String(caption), parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

const std::array<TColor, CCPU_Map::FunctionCount> CPUMapPage::SwatchDefaults{
    0xC0C0C0, 0xFF0000, 0x0000FF, 0x00FF00, 0x00FFFF, 16711808,
    33023,    0xFFFF00, 0xFF00FF, 4210816,  12615808};
const std::array<bool, CCPU_Map::FunctionCount> CPUMapPage::CheckDefaults{
    true, true, true, false, false, false, false, false, false, false, false};

CPUMapPage::CPUMapPage(CPUMapHost &pageHost, QTabWidget *pages, QWidget *sheet, QAction *button)
    : QObject(sheet)
    , host(pageHost)
    , pageControl(pages)
    , tabSheet(sheet)
    , toolButton(button)
{
    ChooseColor = [this](const QColor &current) {
        // Made for one use, so that the window's own dialogs stay as they are.
        QColorDialog dialog(current, host.DialogParent());
        dialog.setObjectName(QStringLiteral("Map_ColorDialog"));
        host.SuspendTimers();
        const bool chosen = dialog.exec() == QDialog::Accepted;
        host.ResumeTimers();
        return chosen ? dialog.selectedColor() : QColor();
    };
    Build();
    Map.CpuType = CPU_TypeBox->currentIndex();
    Map.ClearImages();
    ShowImages();
}

CPUMapPage::~CPUMapPage() = default;

void CPUMapPage::Build()
{
    QWidget *page = tabSheet;
    auto *pageLayout = new QHBoxLayout(page);

    // The map: column addresses above, the label strip and the map below.
    auto *mapColumn = new QVBoxLayout;
    auto *heads = new QWidget(page);
    heads->setFixedSize(CpuMapImage::LabelWidth + CpuMapImage::MapWidth + 24, 18);
    const struct
    {
        const char *name, *text;
        int x;
    } columns[] = {{"Map_str_Address", "Address", 0}, {"Map_0Label", "0x0", 50},
                   {"Map_str128Label", "0x80", 178},  {"Map_str256Label", "0x100", 306},
                   {"Map_str384Label", "0x180", 434}, {"Map_strFFLabel", "0x1FF", 534}};
    for (const auto &c : columns)
        NewLabel(heads, c.name, c.text)->move(c.x, 0);
    mapColumn->addWidget(heads);

    Map_ImageScrollBox = new QScrollArea(page);
    Map_ImageScrollBox->setObjectName(QStringLiteral("Map_ImageScrollBox"));
    Map_ImageScrollBox->setBackgroundRole(QPalette::Base);
    Map_ImageScrollBox->setStyleSheet(QStringLiteral("QScrollArea { background: white; }"));
    Map_ImageScrollBox->setFixedWidth(CpuMapImage::LabelWidth + CpuMapImage::MapWidth + 24);
    auto *images = new QWidget;
    images->setObjectName(QStringLiteral("Map_Images"));
    Map_LabelImage = new TPaintBox(images, "Map_LabelImage");
    Map_Image = new TPaintBox(images, "Map_Image");
    Map_Image->setMouseTracking(true);
    Map_Image->OnMouseMove = [this](QMouseEvent *e) {
        Map_ImageMouseMove(e->position().toPoint().x(), e->position().toPoint().y());
    };
    Map_ImageScrollBox->setWidget(images);
    mapColumn->addWidget(Map_ImageScrollBox, 1);
    pageLayout->addLayout(mapColumn);

    Map_PageControl = new QTabWidget(page);
    Map_PageControl->setObjectName(QStringLiteral("Map_PageControl"));
    Map_PageControl->addTab(BuildSettingTab(), QStringLiteral("Setting"));
    Map_PageControl->addTab(BuildPerformanceTab(), QStringLiteral("Performance"));
    pageLayout->addWidget(Map_PageControl, 1);

    connect(pageControl, &QTabWidget::currentChanged, this, [this] {
        if (pageControl->currentWidget() == tabSheet)
            Tab_CPU_MapShow();
    });
}

QWidget *CPUMapPage::BuildSettingTab()
{
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("Map_Setting"));
    auto *layout = new QVBoxLayout(tab);

    auto *cpu = new QHBoxLayout;
    cpu->addWidget(NewLabel(tab, "strCPU", "CPU :"));
    CPU_TypeBox = new QComboBox(tab);
    CPU_TypeBox->setObjectName(QStringLiteral("CPU_TypeBox"));
    CPU_TypeBox->addItems({QStringLiteral("8 Bits"), QStringLiteral("16Bits")});
    CPU_TypeBox->setCurrentIndex(1);
    cpu->addWidget(CPU_TypeBox);
    cpu->addStretch(1);
    Map_Str_Pos = NewLabel(tab, "Map_Str_Pos", "");
    Map_Str_Pos->setMinimumWidth(120);
    cpu->addWidget(Map_Str_Pos);
    layout->addLayout(cpu);

    auto *group = new QGroupBox(QStringLiteral("Color"), tab);
    group->setObjectName(QStringLiteral("Map_Color_Group"));
    auto *grid = new QGridLayout(group);
    grid->setVerticalSpacing(2);
    const char *heads[] = {"Enable", "Color", "Function", "Channel"};
    for (int c = 0; c < 4; ++c)
        grid->addWidget(new QLabel(QLatin1String(heads[c]), group), 0, c);
    for (int f = 0; f < CCPU_Map::FunctionCount; ++f) {
        const QString suffix = QLatin1String(Suffixes[f]);
        auto *check = new QCheckBox(group);
        check->setObjectName(QStringLiteral("Map_Check_") + suffix);
        check->setChecked(CheckDefaults[static_cast<size_t>(f)]);
        Map_Check[static_cast<size_t>(f)] = check;
        auto *shape = new QFrame(group);
        shape->setObjectName(QStringLiteral("Map_Shape_") + suffix);
        shape->setFixedSize(28, 14);
        shape->setFrameShape(QFrame::Box);
        shape->setAutoFillBackground(true);
        shape->installEventFilter(this);
        Map_Shape[static_cast<size_t>(f)] = shape;
        SetSwatch(f, SwatchDefaults[static_cast<size_t>(f)]);
        auto *caption = new QLabel(QLatin1String(Captions[f]), group);
        caption->setObjectName(QStringLiteral("strMap_") + suffix);
        auto *channel = new QLabel(QLatin1String(Channels[f]), group);
        channel->setObjectName(QStringLiteral("strMap_Channel_") + suffix);
        grid->addWidget(check, f + 1, 0);
        grid->addWidget(shape, f + 1, 1);
        grid->addWidget(caption, f + 1, 2);
        grid->addWidget(channel, f + 1, 3);
    }
    layout->addWidget(group);

    Map_Memo = new QPlainTextEdit(tab);
    Map_Memo->setObjectName(QStringLiteral("Map_Memo"));
    Map_Memo->setReadOnly(true);
    Map_Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Map_Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(Map_Memo, 1);

    auto *buttons = new QHBoxLayout;
    Map_Btn_Start = NewButton(tab, "Map_Btn_Start", "Start");
    Map_Btn_Step = NewButton(tab, "Map_Btn_Step", "Step");
    Map_Btn_ClearIMG = NewButton(tab, "Map_Btn_ClearIMG", "Clear IMG");
    for (QPushButton *b : {Map_Btn_Start, Map_Btn_Step, Map_Btn_ClearIMG})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    connect(Map_Btn_Start, &QPushButton::clicked, this, &CPUMapPage::Map_Btn_StartClick);
    connect(Map_Btn_Step, &QPushButton::clicked, this, &CPUMapPage::Map_Btn_StepClick);
    connect(Map_Btn_ClearIMG, &QPushButton::clicked, this, &CPUMapPage::Map_Btn_ClearIMGClick);
    return tab;
}

QWidget *CPUMapPage::BuildPerformanceTab()
{
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("CPU_Performance"));
    auto *layout = new QVBoxLayout(tab);

    auto *panel = new QFrame(tab);
    panel->setObjectName(QStringLiteral("Map_BlockPanel"));
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(NewLabel(panel, "Map_str_BlockSize", "Block Size:"));
    Map_BlockSelectBox = new QComboBox(panel);
    Map_BlockSelectBox->setObjectName(QStringLiteral("Map_BlockSelectBox"));
    for (const char *t : BlockTexts)
        Map_BlockSelectBox->addItem(QLatin1String(t));
    row->addWidget(Map_BlockSelectBox);
    row->addWidget(NewLabel(panel, "Map_str_TextStyle", "Value:"));
    Map_StyleSelectBox = new QComboBox(panel);
    Map_StyleSelectBox->setObjectName(QStringLiteral("Map_StyleSelectBox"));
    Map_StyleSelectBox->addItems(
        {QStringLiteral("Percent"), QStringLiteral("Value"), QStringLiteral("Value + Percent")});
    row->addWidget(Map_StyleSelectBox);
    Map_btn_ChangeBlock = NewButton(panel, "Map_btn_ChangeBlock", "Redraw");
    row->addWidget(Map_btn_ChangeBlock);
    layout->addWidget(panel);

    Map_PerformanceTabs = new QTabWidget(tab);
    Map_PerformanceTabs->setObjectName(QStringLiteral("Map_PerformanceTabs"));
    const struct
    {
        const char *tab, *caption, *chart, *first, *second;
    } charts[] = {{"Map_ROM_Performance", "ROM", "Map_ROM_Chart", "ROM2", "ROM1"},
                  {"Map_RAM_Performance", "RAM", "Map_RAM_Chart", "RAM2", "RAM1"},
                  {"Map_IO_Performance", "IO", "Map_IO_Chart", "IO2", "IO1"}};
    for (int g = 0; g < CCPU_Map::GroupCount; ++g) {
        auto *sheet = new QWidget;
        sheet->setObjectName(QLatin1String(charts[g].tab));
        auto *sheetLayout = new QVBoxLayout(sheet);
        sheetLayout->setContentsMargins(0, 0, 0, 0);
        auto *chart = new CPUMapChart(sheet, charts[g].chart, QLatin1String(charts[g].first),
                                      QLatin1String(charts[g].second));
        sheetLayout->addWidget(chart);
        Charts[static_cast<size_t>(g)] = chart;
        Map_PerformanceTabs->addTab(sheet, QLatin1String(charts[g].caption));
    }
    layout->addWidget(Map_PerformanceTabs, 1);

    connect(Map_btn_ChangeBlock, &QPushButton::clicked, this,
            &CPUMapPage::Map_btn_ChangeBlockClick);
    connect(Map_BlockSelectBox, &QComboBox::activated, this, &CPUMapPage::Map_BlockSelectBoxChange);
    connect(Map_StyleSelectBox, &QComboBox::activated, this, &CPUMapPage::Map_StyleSelectBoxChange);
    return tab;
}

void CPUMapPage::SetSwatch(int function, TColor color)
{
    ShapeColors[static_cast<size_t>(function)] = color;
    QFrame *shape = Map_Shape[static_cast<size_t>(function)];
    QPalette palette = shape->palette();
    palette.setColor(QPalette::Window, Colour(color));
    shape->setPalette(palette);
}

bool CPUMapPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int f = 0; f < CCPU_Map::FunctionCount; ++f) {
            if (watched == Map_Shape[static_cast<size_t>(f)]) {
                Map_ShapeMouseUp(f);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void CPUMapPage::Map_ShapeMouseUp(int function)
{
    const QColor chosen = ChooseColor(Colour(ShapeColors[static_cast<size_t>(function)]));
    if (chosen.isValid())
        SetSwatch(function, ColorRef(chosen));
}

void CPUMapPage::btn_CPU_MapClick()
{
    QTabWidget &tabs = *pageControl;
    const int index = tabs.indexOf(tabSheet);
    const bool on = !tabs.isTabVisible(index);
    tabs.setTabVisible(index, on);
    toolButton->setChecked(on);
    tabs.setCurrentIndex(on ? index : 0);
}

void CPUMapPage::Tab_CPU_MapShow()
{
    Map_Check[CCPU_Map::Line]->setChecked(true);
    Map_Check[CCPU_Map::ROM1_R]->setChecked(true);
}

void CPUMapPage::TakeSettings(bool images)
{
    for (size_t f = 0; f < CCPU_Map::FunctionCount; ++f) {
        Map.Colors[f] = ShapeColors[f];
        Map.Enabled[f] = Map_Check[f]->isChecked();
    }
    if (images)
        Map.CpuType = CPU_TypeBox->currentIndex();
    TakeBlockSize();
}

void CPUMapPage::TakeBlockSize()
{
    const int last = static_cast<int>(CCPU_Map::BlockSizes.size()) - 1;
    Map.BlockSize = CCPU_Map::BlockSizes[static_cast<size_t>(
        std::clamp(Map_BlockSelectBox->currentIndex(), 0, last))];
}

CaptureWindow CPUMapPage::Window() const
{
    return CaptureWindow::OfRecord(host.Record(), host.System(), host.Settings());
}

CaptureWindow CPUMapPage::PrepareWindow()
{
    host.Record().PlaceRecord();
    const CaptureWindow window = Window();
    if (host.System().ChannelCount < CpuBusCycle::ChannelsNeeded)
        AppMessage::Warning(host.DialogParent(), QStringLiteral("CPU Map"),
                            QStringLiteral("This model has %1 channels: the CPU map reads the "
                                           "strobes on CH28 and CH29 and the selects on CH22 to "
                                           "CH27, which it lacks.")
                                .arg(host.System().ChannelCount));
    return window;
}

void CPUMapPage::Map_Btn_StartClick()
{
    TakeSettings(true);
    for (int g = 0; g < CCPU_Map::GroupCount; ++g)
        Map_PerformanceTabs->setTabVisible(g, Map.GroupEnabled(g));
    RunAnalysis();
}

void CPUMapPage::RunAnalysis()
{
    Map.Start(PrepareWindow());
    ShowImages();
    ShowLog();
    ShowCharts();
}

void CPUMapPage::Map_Btn_StepClick()
{
    const bool entering = !Map.Stepping();
    TakeSettings(entering);
    if (entering) {
        const CaptureWindow window = PrepareWindow();
        Map.Step(window);
        ShowCharts();
    } else {
        // The ring may have been replaced since (a new model): the window
        // is taken again, the step position is kept.
        Map.Step(Window());
    }
    ShowImages();
    ShowLog();
}

void CPUMapPage::Map_Btn_ClearIMGClick()
{
    Map.CpuType = CPU_TypeBox->currentIndex();
    Map.ClearImages();
    ShowImages();
    ShowLog();
}

void CPUMapPage::Map_btn_ChangeBlockClick()
{
    // The colours and boxes stay those of the last Start.
    TakeBlockSize();
    RunAnalysis();
}

void CPUMapPage::Map_BlockSelectBoxChange()
{
    Map_btn_ChangeBlock->setFocus();
    Map_btn_ChangeBlock->click();
}

void CPUMapPage::Map_StyleSelectBoxChange()
{
    const int g = Map_PerformanceTabs->currentIndex();
    if (g >= 0 && g < CCPU_Map::GroupCount)
        Charts[static_cast<size_t>(g)]->SetStyle(Map_StyleSelectBox->currentIndex());
}

void CPUMapPage::Map_ImageMouseMove(int x, int y)
{
    if (x < 0 || y < 0 || x >= Map.Image().Map().Width() || y >= Map.Image().Map().Height())
        return;
    Map_Str_Pos->setText(QString::fromStdString(CpuMapImage::RangeText(x, y)));
}

void CPUMapPage::ShowImages()
{
    const TBitmap &map = Map.Image().Map();
    const TBitmap &labels = Map.Image().Labels();
    // A margin above and below, so that the scroll box's frame hides no
    // part of the first and last rows of marks.
    constexpr int Margin = 4;
    Map_LabelImage->setGeometry(0, Margin, labels.Width(), labels.Height());
    Map_Image->setGeometry(CpuMapImage::LabelWidth, Margin, map.Width(), map.Height());
    Map_ImageScrollBox->widget()->resize(CpuMapImage::LabelWidth + map.Width(),
                                         map.Height() + 2 * Margin);
    Map_LabelImage->SetBitmap(&labels);
    Map_Image->SetBitmap(&map);
}

void CPUMapPage::ShowLog()
{
    const auto &log = Map.Log();
    const int lines = static_cast<int>(log.size());
    if (lines < shownLines || shownLines == 0) {
        QStringList all;
        for (const auto &line : log)
            all << QString::fromStdString(line);
        Map_Memo->setPlainText(all.join(QLatin1Char('\n')));
    } else if (lines > shownLines) {
        // The line that was newest loses its mark; the new ones follow.
        QTextCursor cursor(Map_Memo->document()->findBlockByNumber(shownLines - 1));
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.insertText(QString::fromStdString(log[static_cast<size_t>(shownLines - 1)]));
        for (int i = shownLines; i < lines; ++i)
            Map_Memo->appendPlainText(QString::fromStdString(log[static_cast<size_t>(i)]));
    }
    shownLines = lines;
    Map_Memo->moveCursor(QTextCursor::End);
    Map_Memo->ensureCursorVisible();
}

void CPUMapPage::ShowCharts()
{
    for (int g = 0; g < CCPU_Map::GroupCount; ++g) {
        CPUMapChart &chart = *Charts[static_cast<size_t>(g)];
        if (!Map.ChartBuilt(g)) {
            chart.Clear();
            continue;
        }
        // The pair's second region is the chart's first series.
        const int first = 2 * g + 1, second = 2 * g;
        chart.Fill(Map.Bars(first), Map.Colors[static_cast<size_t>(CCPU_Map::ReadFunction(first))],
                   Map.Bars(second),
                   Map.Colors[static_cast<size_t>(CCPU_Map::ReadFunction(second))]);
    }
}
