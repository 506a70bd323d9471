#include "protocols/ProtocolPageParts.h"

#include "analyzer/AppMessage.h"
#include "device/CFile.h"
#include "device/WSystem.h"
#include "files/AtomicFile.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTableView>

#include <algorithm>

std::function<QString(QWidget *parent)> ProtocolPageParts::ChooseExportFile = [](QWidget *parent) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Export"), QString(),
                                        QStringLiteral("CSV (*.csv)"));
};

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

void ProtocolPageParts::Export(QWidget *parent, const std::string &csv)
{
    const QString path = ChooseExportFile ? ChooseExportFile(parent) : QString();
    if (path.isEmpty())
        return;
    if (!AtomicFile::Write(path.toStdString(), std::string_view(csv)))
        AppMessage::Error(parent, QStringLiteral("Export"),
                          QStringLiteral("Cannot write %1.").arg(path));
}
