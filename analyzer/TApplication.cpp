#include "analyzer/TApplication.h"

#include "ui/ProgramEntry.h"

#include <exception>

TApplication::TApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        ProgramEntry::Fail(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ProgramEntry::Fail(QStringLiteral("Unknown error."));
    }
    return false;
}
