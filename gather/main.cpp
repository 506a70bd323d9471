#include "gather/TMainForm.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setApplicationDisplayName(QStringLiteral("Data Acquisition"));
    TMainForm form;
    form.show();
    return app.exec();
}
