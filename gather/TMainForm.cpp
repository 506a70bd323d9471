#include "gather/TMainForm.h"

TMainForm::TMainForm(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Data Acquisition"));
    setFixedSize(420, 260);
}
