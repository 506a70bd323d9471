#include "analyzer/TForm1Pages.h"

#include "analyzer/TForm1.h"
#include "analyzer/TLamp.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QFrame *NewPanel(QWidget *parent, const char *name)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    return panel;
}

QWidget *NewPage(QTabWidget *tabs, const char *name, const char *caption)
{
    auto *page = new QWidget(tabs);
    page->setObjectName(QLatin1String(name));
    tabs->addTab(page, QLatin1String(caption));
    return page;
}

QTableWidget *NewGrid(QWidget *parent, const char *name)
{
    auto *grid = new QTableWidget(parent);
    grid->setObjectName(QLatin1String(name));
    grid->setColumnCount(2);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(22);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setFrameShape(QFrame::NoFrame);
    return grid;
}

} // namespace

void TForm1Pages::Build(TForm1 &form)
{
    auto *tabs = new QTabWidget(&form);
    tabs->setObjectName(QStringLiteral("PageControl1"));
    tabs->setDocumentMode(true);
    form.PageControl1 = tabs;
    form.TabSheet1 = NewPage(tabs, "TabSheet1", "Waveform");
    form.TabSheet2 = NewPage(tabs, "TabSheet2", "Listing");
    form.TabSheet3 = NewPage(tabs, "TabSheet3", "I2C Protocol");
    form.TabSheet4 = NewPage(tabs, "TabSheet4", "SPI Protocol");
    form.TabSheet6 = NewPage(tabs, "TabSheet6", "CAN Protocol");
    form.Tab_UART = NewPage(tabs, "Tab_UART", "UART Decoder");
    form.Tab_CPU_Map = NewPage(tabs, "Tab_CPU_Map", "CPU Map");
    form.Tab_SPI = NewPage(tabs, "Tab_SPI", "SPI Decoder");
    form.Tab_I2C = NewPage(tabs, "Tab_I2C", "I2C Decoder");
    // The protocol pages and the CPU map show their tabs only when their
    // buttons turn them on.
    for (int i = 2; i < tabs->count(); ++i)
        tabs->setTabVisible(i, false);
    tabs->setCurrentIndex(0);
    QObject::connect(tabs, &QTabWidget::currentChanged, &form, &TForm1::PageControl1Change);

    BuildTopBar(form);
    BuildWaveformBody(form);

    auto *listLayout = new QVBoxLayout(form.TabSheet2);
    listLayout->setContentsMargins(0, 0, 0, 0);
    form.setCentralWidget(tabs);
}

void TForm1Pages::BuildTopBar(TForm1 &form)
{
    QFrame *bar = NewPanel(form.TabSheet1, "Panel10");
    bar->setFixedHeight(34);
    bar->setFrameShape(QFrame::StyledPanel);
    form.Panel10 = bar;

    auto label = [bar](const char *name, const char *text, int left, int top) {
        auto *l = new QLabel(QLatin1String(text), bar);
        l->setObjectName(QLatin1String(name));
        l->move(left, top);
        l->adjustSize();
        return l;
    };
    form.DivLabel = label("DivLabel", "DIV", 10, 8);
    form.MemoryDepthLabel1 = label("MemoryDepthLabel1", "Memory Depth", 230, 0);
    form.MemoryDepthLabel2 = label("MemoryDepthLabel2", "(Per Channel)", 230, 15);

    form.DivComboBox = new QComboBox(bar);
    form.DivComboBox->setObjectName(QStringLiteral("DivComboBox"));
    form.DivComboBox->setGeometry(42, 4, 170, 26);
    form.DivComboBox->setMaxVisibleItems(25);

    form.Memory_Depth_ComboBox = new QComboBox(bar);
    form.Memory_Depth_ComboBox->setObjectName(QStringLiteral("Memory_Depth_ComboBox"));
    form.Memory_Depth_ComboBox->setGeometry(330, 4, 110, 26);

    form.Edit1 = new QLineEdit(bar);
    form.Edit1->setObjectName(QStringLiteral("Edit1"));
    form.Edit1->setReadOnly(true);
    form.Edit1->setGeometry(452, 4, 160, 26);

    form.Button1 = new QPushButton(QStringLiteral("Delay"), bar);
    form.Button1->setObjectName(QStringLiteral("Button1"));
    form.Button1->setGeometry(616, 4, 64, 26);

    form.MemoryPercent = new QComboBox(bar);
    form.MemoryPercent->setObjectName(QStringLiteral("MemoryPercent"));
    for (int before = 10; before <= 90; before += 10)
        form.MemoryPercent->addItem(QStringLiteral("%1% / %2%").arg(before).arg(100 - before));
    // Shown while no item is chosen: a capture from a file, triggered at its
    // first sample.
    form.MemoryPercent->setPlaceholderText(QStringLiteral("0% / 100%"));
    form.MemoryPercent->setGeometry(692, 4, 110, 26);

    form.ALed1 = new TLamp(bar);
    form.ALed1->setObjectName(QStringLiteral("ALed1"));
    form.ALed1->move(814, 8);

    // Only collects the device list; it lies outside the visible area.
    form.combo_Device = new QComboBox(bar);
    form.combo_Device->setObjectName(QStringLiteral("combo_Device"));
    form.combo_Device->setEditable(true);
    form.combo_Device->setGeometry(4000, 4, 120, 26);
    form.combo_Device->setFocusPolicy(Qt::NoFocus);

    QObject::connect(form.DivComboBox, &QComboBox::activated, &form, &TForm1::DivComboBoxChange);
    QObject::connect(form.Memory_Depth_ComboBox, &QComboBox::activated, &form,
                     &TForm1::Memory_Depth_ComboBoxChange);
    QObject::connect(form.MemoryPercent, &QComboBox::activated, &form,
                     &TForm1::MemoryPercentChange);
    QObject::connect(form.Button1, &QPushButton::clicked, &form, &TForm1::Button1Click);
}

void TForm1Pages::BuildWaveformBody(TForm1 &form)
{
    QWidget *page = form.TabSheet1;
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    pageLayout->addWidget(form.Panel10);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    pageLayout->addLayout(body, 1);

    // Signal list: Panel5 is the window onto Panel8, which scrolls with the
    // waveform and holds the name grid (Panel1) and the pattern grid (Panel2).
    form.Channel_Panel = NewPanel(page, "Channel_Panel");
    form.Channel_Panel->setFixedWidth(216);
    auto *channelLayout = new QVBoxLayout(form.Channel_Panel);
    channelLayout->setContentsMargins(0, 0, 0, 0);
    form.Panel5 = NewPanel(form.Channel_Panel, "Panel5");
    channelLayout->addWidget(form.Panel5);
    form.Panel8 = NewPanel(form.Panel5, "Panel8");
    auto *gridsLayout = new QHBoxLayout(form.Panel8);
    gridsLayout->setContentsMargins(0, 0, 0, 0);
    gridsLayout->setSpacing(1);

    auto gridPanel = [&form, gridsLayout](const char *panelName, const char *headerName,
                                          const char *headerText, const char *gridName, int width,
                                          QLabel *&header, QTableWidget *&grid) {
        QFrame *panel = NewPanel(form.Panel8, panelName);
        panel->setFixedWidth(width);
        auto *v = new QVBoxLayout(panel);
        v->setContentsMargins(0, 0, 0, 0);
        v->setSpacing(0);
        header = new QLabel(QLatin1String(headerText), panel);
        header->setObjectName(QLatin1String(headerName));
        header->setAlignment(Qt::AlignCenter);
        header->setFixedHeight(48);
        header->setFrameShape(QFrame::StyledPanel);
        v->addWidget(header);
        grid = NewGrid(panel, gridName);
        v->addWidget(grid, 1);
        gridsLayout->addWidget(panel);
        return panel;
    };
    form.Panel1 = gridPanel("Panel1", "Bus_Channel_Image", "Bus/Signal", "StringGrid1", 110,
                            form.Bus_Channel_Image, form.StringGrid1);
    form.Panel2 = gridPanel("Panel2", "Bus_Channel_State_Image", "Trigger Pattern", "StringGrid2",
                            105, form.Bus_Channel_State_Image, form.StringGrid2);
    form.StringGrid2->setColumnCount(1);
    // Column 0 fills the panel; the signal numbers in StringGrid1's column 1
    // lie beyond its right edge.
    form.StringGrid1->setColumnWidth(0, form.Panel1->width() - 4);
    form.StringGrid2->setColumnWidth(0, form.Panel2->width() - 4);

    // Host of the waveform view (ruler, plot and its scroll bars).
    form.Panel_Ly0 = NewPanel(page, "Panel_Ly0");

    form.Cursor_State_Panel = NewPanel(page, "Cursor_State_Panel");
    form.Cursor_State_Panel->setFixedWidth(140);
    form.Cursor_State_Panel->setFrameShape(QFrame::StyledPanel);
    auto *stateLayout = new QHBoxLayout(form.Cursor_State_Panel);
    stateLayout->setContentsMargins(0, 0, 0, 0);
    stateLayout->addStretch(1);
    form.ScrollBar3 = new QScrollBar(Qt::Vertical, form.Cursor_State_Panel);
    form.ScrollBar3->setObjectName(QStringLiteral("ScrollBar3"));
    form.ScrollBar3->setSingleStep(30);
    form.ScrollBar3->setPageStep(30);
    form.ScrollBar3->setRange(0, 0);
    stateLayout->addWidget(form.ScrollBar3);
    QObject::connect(form.ScrollBar3, &QScrollBar::valueChanged, &form, &TForm1::ScrollBar3Change);

    // The language menu's file lists; never shown.
    form.LanguageFileList = new QListWidget(form.Cursor_State_Panel);
    form.LanguageFileList->setObjectName(QStringLiteral("LanguageFileList"));
    form.LanguageFileList->hide();
    form.LanguageNameList = new QListWidget(form.Cursor_State_Panel);
    form.LanguageNameList->setObjectName(QStringLiteral("LanguageNameList"));
    form.LanguageNameList->hide();

    body->addWidget(form.Channel_Panel);
    body->addWidget(form.Panel_Ly0, 1);
    body->addWidget(form.Cursor_State_Panel);
}
