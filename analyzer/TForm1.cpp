#include "analyzer/TForm1.h"

#include <QString>
#include <QtGlobal>

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent)
    , wSystem(std::make_unique<WSystem>())
{
    setObjectName(QStringLiteral("Form1"));
    resize(1024, 768);
    // TRACEMOOR_DEVICE=demo starts on the Demo model, without an instrument.
    if (qEnvironmentVariable("TRACEMOOR_DEVICE").compare(QStringLiteral("demo"),
                                                          Qt::CaseInsensitive) == 0)
        wSystem->SelectModel(0);
    UpdateTitle();
}

TForm1::~TForm1() = default;

void TForm1::UpdateTitle()
{
    setWindowTitle(QString::fromStdString(wSystem->WindowTitle()));
}
