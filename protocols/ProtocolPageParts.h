#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <string>

class CFile;
class QAbstractItemModel;
class QComboBox;
class QLineEdit;
class QTableView;
class QWidget;
class WSystem;

// What the I2C and SPI pages build alike: channel lists, digit-only edits,
// result grids over a model, and the export of rows to a file.
class ProtocolPageParts
{
public:
    // "CH" + number + "  [" + the channel's name + "]" for every channel of
    // the model.
    static QStringList ChannelItems(const WSystem &system, const CFile &settings);
    // The list filled with ChannelItems, the selected index kept (or 0 when
    // it is out of range).
    static void FillChannelList(QComboBox &list, const WSystem &system, const CFile &settings);
    static QComboBox *NewChannelList(QWidget *parent, const char *name);
    // At most `maxLength` characters, only the digits 0 to 9.
    static QLineEdit *NewDigitsEdit(QWidget *parent, const char *name, int maxLength);
    static QTableView *NewGrid(QWidget *parent, const char *name, QAbstractItemModel *model);

    // The save dialog of "Export" (a test puts its own chooser here).
    static std::function<QString(QWidget *parent)> ChooseExportFile;
    // Asks for a file and writes `csv` to it; a failed write is reported.
    static void Export(QWidget *parent, const std::string &csv);
};
