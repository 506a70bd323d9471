#pragma once

#include <QApplication>
#include <QString>

// The analyzer's application object. An exception that escapes an event
// handler is shown in an error box and ends the program with exit code 2
// (see ProgramEntry).
class TApplication : public QApplication
{
    Q_OBJECT

public:
    TApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};
