#include "files/CPrinter.h"

#include "ui/UiText.h"

#include <QDialog>
#include <QFileDialog>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>

std::function<QString(QWidget *)> CPrinter::ChoosePdfFile = [](QWidget *parent) {
    return QFileDialog::getSaveFileName(parent, QString(), QString(),
                                        QStringLiteral("PDF (*.pdf)"));
};

namespace {

QFont Bold(int points)
{
    QFont f;
    f.setPointSize(points);
    f.setBold(true);
    return f;
}

} // namespace

CPrinter::CPrinter(QWidget &mainWindow)
    : Printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
    , window(mainWindow)
{
    Dialog = new QDialog(&mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    Dialog->setObjectName(QStringLiteral("PrinterForm"));
    Dialog->setWindowTitle(UiText::Get("Printer", "strPrinter", "Printer"));
    Dialog->setFixedSize(400, 200);

    PrinterName = new QLabel(Dialog);
    PrinterName->setObjectName(QStringLiteral("PrinterName"));
    PrinterName->setGeometry(8, 24, 300, 24);
    PrinterName->setFrameStyle(QFrame::Box | QFrame::Plain);
    PrinterName->setStyleSheet(QStringLiteral("background-color: rgb(192, 220, 192);"));
    QFont name;
    name.setPointSize(10);
    PrinterName->setFont(name);
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        PrinterName->setText(Printer->printerName());

    SetupButton = new QPushButton(UiText::Get("Printer", "strSetup", "Setup"), Dialog);
    SetupButton->setObjectName(QStringLiteral("SetupButton"));
    SetupButton->setFont(Bold(10));
    SetupButton->setGeometry(400 - 10 - 75, 24, 75, 25);

    auto *orientation =
        new QGroupBox(UiText::Get("Printer", "strRadioGroupCaption", "Orientation"), Dialog);
    orientation->setFont(Bold(12));
    orientation->setGeometry(8, 60, 380, 57);
    Portrait = new QRadioButton(UiText::Get("Printer", "strPortrait", "Portrait"), orientation);
    Portrait->setObjectName(QStringLiteral("Portrait"));
    Landscape = new QRadioButton(UiText::Get("Printer", "strLandscape", "Landscape"), orientation);
    Landscape->setObjectName(QStringLiteral("Landscape"));
    Landscape->setChecked(true);
    auto *columns = new QHBoxLayout(orientation);
    columns->addWidget(Portrait);
    columns->addWidget(Landscape);

    PrintButton = new QPushButton(UiText::Get("Printer", "strPrint", "Print"), Dialog);
    PrintButton->setObjectName(QStringLiteral("PrintButton"));
    PrintButton->setFont(Bold(10));
    PrintButton->setGeometry(50, 200 - 40, 75, 25);
    PrintButton->setDefault(true);
    CancelButton = new QPushButton(UiText::Get("Common", "strCancelBtnCaption", "Cancel"), Dialog);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setFont(Bold(10));
    CancelButton->setGeometry(400 - 70 - 75, 200 - 40, 75, 25);

    QObject::connect(SetupButton, &QPushButton::clicked, Dialog, [this] { SetupClick(); });
    QObject::connect(PrintButton, &QPushButton::clicked, Dialog, [this] { PrintClick(); });
    QObject::connect(CancelButton, &QPushButton::clicked, Dialog, &QDialog::reject);
}

CPrinter::~CPrinter()
{
    delete Dialog;
}

bool CPrinter::Execute()
{
    printed = false;
    Dialog->exec();
    return printed;
}

void CPrinter::SetupClick()
{
    QPrintDialog setup(Printer.get(), Dialog);
    if (setup.exec() == QDialog::Accepted)
        PrinterName->setText(Printer->printerName());
}

void CPrinter::PrintClick()
{
    if (Printer->outputFormat() == QPrinter::NativeFormat &&
        QPrinterInfo::availablePrinterNames().isEmpty()) {
        // No printing service: the page goes to a PDF file instead.
        const QString path = ChoosePdfFile(&window);
        if (path.isEmpty())
            return;
        Printer->setOutputFormat(QPrinter::PdfFormat);
        Printer->setOutputFileName(path);
    }
    printed = PrintPage(*Printer);
    Dialog->accept();
}

bool CPrinter::PrintPage(QPrinter &printer)
{
    printer.setPageOrientation(Portrait->isChecked() ? QPageLayout::Portrait
                                                     : QPageLayout::Landscape);
    // The window renders itself, the waveform picture included.
    const QImage picture = window.grab().toImage();
    printer.setFullPage(true); // (0, 0) is the corner of the paper
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect page(QPoint(0, 0),
                     printer.pageLayout().fullRectPixels(printer.resolution()).size());
    painter.setViewport(page);
    painter.setWindow(page);
    painter.drawImage(page, picture);
    return painter.end();
}
