#include "analyzer/TForm1.h"

#include <QString>

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent)
    , wSystem(std::make_unique<WSystem>())
{
    setObjectName(QStringLiteral("Form1"));
    resize(1024, 768);
    UpdateTitle();
}

TForm1::~TForm1() = default;

void TForm1::UpdateTitle()
{
    setWindowTitle(QString::fromStdString(wSystem->WindowTitle()));
}
