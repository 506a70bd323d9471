#pragma once

#include "protocols/UartCanTiming.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QAction;
class QTabWidget;
class QTableView;
class QWidget;
class TForm1;
class UartCanTable;
class UartCanTableModel;

// What the UART and CAN pages share: placing the record and reading the
// timing of the capture before a decode, the channel list, the result grid
// and the CSV export.
class UartCanPageSupport
{
public:
    // Places the record again (as after a read-out) and returns the sample
    // period, the trigger cursor's time and the record's pre-trigger span.
    static UartCanTiming PrepareDecode(TForm1 &form);

    // "CH<n>  [<name>]" for every channel of the model.
    static QStringList ChannelItems(TForm1 &form);

    // A read-only grid over `model`: one header row, no row numbers, whole
    // rows selected, the given column widths.
    static QTableView *NewGrid(QWidget *parent, const char *name, UartCanTableModel *model,
                               const std::vector<int> &widths);

    // Shows or hides the page's tab and keeps its menu item and tool button
    // in step; shown, the page is selected, hidden, the waveform page.
    static bool TogglePage(TForm1 &form, QWidget *page, QAction *menuItem, QAction *button);

    // Writes the rows as CSV to the file `choose` names (nothing when it
    // names none); a failure is reported in a message box.
    static void Export(QWidget *parent, const UartCanTable &table,
                       const std::function<QString()> &choose);
    // The save dialog for a CSV file.
    static QString ChooseCsvFile(QWidget *parent);
};
