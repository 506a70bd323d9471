#pragma once

#include "protocols/UartCanTiming.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

class CFile;
class QAbstractItemModel;
class QAction;
class QComboBox;
class QLineEdit;
class QTabWidget;
class QTableView;
class ProtocolPageHost;
class QWidget;
class WSystem;

// What the protocol pages (I2C, SPI, UART, CAN) build alike: the toggle of
// their tabs, channel lists, digit-only edits, result grids over a model,
// the timing of a decode and the export of rows to a file.
class ProtocolPageParts
{
public:
    // Shows or hides the page's tab and keeps its menu item and tool button
    // in step; shown, the page is selected, hidden, the waveform page.
    // True when the page is now shown.
    static bool TogglePage(QTabWidget &tabs, QWidget *page, QAction *menuItem, QAction *button);

    // "CH" + number + "  [" + the channel's name + "]" for every channel of
    // the model.
    static QStringList ChannelItems(const WSystem &system, const CFile &settings);
    // The list filled with ChannelItems, the selected index kept (or 0 when
    // it is out of range).
    static void FillChannelList(QComboBox &list, const WSystem &system, const CFile &settings);
    static QComboBox *NewChannelList(QWidget *parent, const char *name);
    // At most `maxLength` characters, only the digits 0 to 9.
    static QLineEdit *NewDigitsEdit(QWidget *parent, const char *name, int maxLength);
    // A read-only grid over `model`: one header row, no row numbers, whole
    // rows selected.
    static QTableView *NewGrid(QWidget *parent, const char *name, QAbstractItemModel *model);
    // The same with the given column widths (kept when the model is reset)
    // and the last column stretched to the grid's edge.
    static QTableView *NewGrid(QWidget *parent, const char *name, QAbstractItemModel *model,
                               std::vector<int> widths);

    // Places the record again (as after a read-out) and returns the sample
    // period, the trigger cursor's time and the record's pre-trigger span.
    static UartCanTiming PrepareDecode(ProtocolPageHost &host);

    // The save dialog of "Export" (a test puts its own chooser here).
    static std::function<QString(QWidget *parent)> ChooseExportFile;
    // The chosen name with the chosen filter's extension (".csv" or ".txt")
    // when it has none.
    static QString ExportFileName(const QString &path, const QString &filter);
    // Asks for a file and writes `csv` to it; a failed write is reported.
    static void Export(QWidget *parent, const std::string &csv);
    // Writes `csv` to `path` (nothing when `path` is empty); a failed write
    // is reported.
    static void Export(QWidget *parent, const QString &path, const std::string &csv);
};
