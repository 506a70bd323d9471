#include "protocols/ProtocolPageParts.h"

#include "analyzer/AppMessage.h"
#include "analyzer/UiText.h"
#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/WGetName.h"
#include "files/AtomicFile.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTableView>

std::function<QString(QWidget *parent)> ProtocolPageParts::ChooseExportFile = [](QWidget *parent) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Export"), QString(),
                                        QStringLiteral("CSV (*.csv)"));
};

void ProtocolPageParts::FillChannelList(QComboBox &list, const WSystem &system, CFile &settings)
{
    const int selected = list.currentIndex();
    const WGetName names(settings);
    const QSignalBlocker quiet(&list);
    list.clear();
    for (int c = 0; c < system.ChannelCount; ++c)
        list.addItem(QStringLiteral("CH%1  [%2]").arg(c).arg(UiText::FromUtf8(names.GetName(c))));
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
