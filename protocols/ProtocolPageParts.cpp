#include "protocols/ProtocolPageParts.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "files/AtomicFile.h"
#include "files/FileName.h"
#include "protocols/ProtocolPageHost.h"
#include "ui/AppMessage.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QTableView>

#include <algorithm>

std::function<QString(QWidget *parent)> ProtocolPageParts::ChooseExportFile = [](QWidget *parent) {
    const QString csv = QStringLiteral("CSV (*.csv)");
    const QString text = QStringLiteral("Text (*.txt)");
    QString chosen = csv;
    const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Export"), QString(),
                                                      csv + QStringLiteral(";;") + text, &chosen);
    return ExportFileName(path, chosen);
};

QString ProtocolPageParts::ExportFileName(const QString &path, const QString &filter)
{
    // As Save adds ".pjf": a name without an extension gets the filter's.
    const char *extension = filter.contains(QStringLiteral("*.txt")) ? ".txt" : ".csv";
    return QString::fromStdString(FileName::WithDefaultExtension(path.toStdString(), extension));
}

bool ProtocolPageParts::TogglePage(QTabWidget &tabs, QWidget *page, QAction *menuItem,
                                   QAction *button)
{
    const int index = tabs.indexOf(page);
    const bool on = !tabs.isTabVisible(index);
    tabs.setTabVisible(index, on);
    menuItem->setChecked(on);
    button->setChecked(on);
    tabs.setCurrentIndex(on ? index : 0);
    return on;
}

QStringList ProtocolPageParts::ChannelItems(const WSystem &system, const CFile &settings)
{
    // Names are stored as Latin-1, as the names keyboard writes them.
    QStringList items;
    for (int c = 0; c < std::min<int>(system.ChannelCount, CFile::MaxChannels); ++c) {
        const std::string_view name =
            CFile::NameText(settings.ChannelEntry[static_cast<size_t>(c)]);
        items << QStringLiteral("CH%1  [%2]")
                     .arg(c)
                     .arg(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    return items;
}

void ProtocolPageParts::FillChannelList(QComboBox &list, const WSystem &system,
                                        const CFile &settings)
{
    const int selected = list.currentIndex();
    const QSignalBlocker quiet(&list);
    list.clear();
    list.addItems(ChannelItems(system, settings));
    list.setCurrentIndex(selected >= 0 && selected < list.count() ? selected : 0);
}

QComboBox *ProtocolPageParts::NewChannelList(QWidget *parent, const char *name)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    list->setEditable(false);
    return list;
}

QLineEdit *ProtocolPageParts::NewDigitsEdit(QWidget *parent, const char *name, int maxLength)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(maxLength);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

QTableView *ProtocolPageParts::NewGrid(QWidget *parent, const char *name, QAbstractItemModel *model)
{
    auto *grid = new QTableView(parent);
    grid->setObjectName(QLatin1String(name));
    grid->setModel(model);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->horizontalHeader()->setHighlightSections(false);
    return grid;
}

QTableView *ProtocolPageParts::NewGrid(QWidget *parent, const char *name, QAbstractItemModel *model,
                                       std::vector<int> widths)
{
    QTableView *grid = NewGrid(parent, name, model);
    grid->horizontalHeader()->setStretchLastSection(true);
    auto applyWidths = [grid, widths = std::move(widths)] {
        for (size_t c = 0; c < widths.size(); ++c)
            grid->setColumnWidth(static_cast<int>(c), widths[c]);
    };
    applyWidths();
    QObject::connect(model, &QAbstractItemModel::modelReset, grid, applyWidths);
    return grid;
}

UartCanTiming ProtocolPageParts::PrepareDecode(ProtocolPageHost &host)
{
    host.Record().PlaceRecord();
    return host.DecodeTiming();
}

void ProtocolPageParts::Export(QWidget *parent, const std::string &csv)
{
    Export(parent, ChooseExportFile ? ChooseExportFile(parent) : QString(), csv);
}

void ProtocolPageParts::Export(QWidget *parent, const QString &path, const std::string &csv)
{
    if (path.isEmpty())
        return;
    if (!AtomicFile::Write(path.toStdString(), std::string_view(csv)))
        AppMessage::Error(parent, QStringLiteral("Export"),
                          QStringLiteral("Cannot write %1.").arg(path));
}
