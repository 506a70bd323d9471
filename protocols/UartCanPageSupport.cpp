#include "protocols/UartCanPageSupport.h"

#include "analyzer/AppMessage.h"
#include "analyzer/TForm1.h"
#include "display/CCaptureRecord.h"
#include "display/CWaveform.h"
#include "display/WCursor.h"
#include "protocols/UartCanCsv.h"
#include "protocols/UartCanTableModel.h"

#include <QAction>
#include <QFileDialog>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>

UartCanTiming UartCanPageSupport::PrepareDecode(TForm1 &form)
{
    form.CaptureRecord->PlaceRecord();
    form.Waveform->UpdateTimeBase();
    UartCanTiming timing;
    timing.SamplePeriod = form.Waveform->SamplePeriod;
    timing.TriggerEvent = form.Cursors->TriggerCursor().Time;
    timing.PreSpan = form.Waveform->PreSpan;
    return timing;
}

QStringList UartCanPageSupport::ChannelItems(TForm1 &form)
{
    QStringList items;
    const CFile &settings = form.Settings();
    for (int c = 0; c < form.System().ChannelCount; ++c) {
        const std::string_view name =
            CFile::NameText(settings.ChannelEntry[static_cast<size_t>(c)]);
        items << QStringLiteral("CH%1  [%2]")
                     .arg(c)
                     .arg(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    return items;
}

QTableView *UartCanPageSupport::NewGrid(QWidget *parent, const char *name, UartCanTableModel *model,
                                        const std::vector<int> &widths)
{
    auto *grid = new QTableView(parent);
    grid->setObjectName(QLatin1String(name));
    grid->setModel(model);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->horizontalHeader()->setStretchLastSection(true);
    auto applyWidths = [grid, widths] {
        for (size_t c = 0; c < widths.size(); ++c)
            grid->setColumnWidth(static_cast<int>(c), widths[c]);
    };
    applyWidths();
    QObject::connect(model, &QAbstractItemModel::modelReset, grid, applyWidths);
    return grid;
}

bool UartCanPageSupport::TogglePage(TForm1 &form, QWidget *page, QAction *menuItem, QAction *button)
{
    QTabWidget *tabs = form.PageControl1;
    const int index = tabs->indexOf(page);
    const bool on = !tabs->isTabVisible(index);
    tabs->setTabVisible(index, on);
    menuItem->setChecked(on);
    button->setChecked(on);
    tabs->setCurrentIndex(on ? index : 0);
    return on;
}

void UartCanPageSupport::Export(QWidget *parent, const UartCanTable &table,
                                const std::function<QString()> &choose)
{
    const QString path = choose();
    if (path.isEmpty())
        return;
    if (!UartCanCsv::Write(table, path.toStdString()))
        AppMessage::Error(parent, QStringLiteral("Export"),
                          QStringLiteral("Can't write %1.").arg(path));
}

QString UartCanPageSupport::ChooseCsvFile(QWidget *parent)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Export"), QString(),
                                        QStringLiteral("CSV files (*.csv)"));
}
