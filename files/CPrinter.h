#pragma once

#include <QString>

#include <functional>
#include <memory>

class QButtonGroup;
class QDialog;
class QLabel;
class QPrinter;
class QPushButton;
class QRadioButton;
class QWidget;

// Printing: a picture of the main window stretched over one page of the
// current printer (the aspect ratio is not kept), portrait or landscape. The
// "Printer" dialog names the printer, opens the print set-up and chooses the
// orientation. Where no printer is installed, "Print" writes the page to a
// PDF file chosen in a save dialog instead.
class CPrinter
{
public:
    // The PDF file to print to when there is no printer; empty: cancel.
    static std::function<QString(QWidget *parent)> ChoosePdfFile;

    explicit CPrinter(QWidget &mainWindow);
    ~CPrinter();
    CPrinter(const CPrinter &) = delete;
    CPrinter &operator=(const CPrinter &) = delete;

    // The dialog, modally; true when a page was printed.
    bool Execute();

    // Prints the window picture on `printer` with the chosen orientation.
    bool PrintPage(QPrinter &printer);

    std::unique_ptr<QPrinter> Printer;
    QDialog *Dialog = nullptr;
    QLabel *PrinterName = nullptr;
    QPushButton *SetupButton = nullptr;
    QRadioButton *Portrait = nullptr;
    QRadioButton *Landscape = nullptr;
    QPushButton *PrintButton = nullptr;
    QPushButton *CancelButton = nullptr;

private:
    void SetupClick();
    void PrintClick();

    QWidget &window;
    bool printed = false;
};
