#include "analyzer/ProgramEntry.h"

#include "analyzer/AppMessage.h"
#include "analyzer/InstanceChannel.h"
#include "analyzer/InstanceLock.h"

#include <QApplication>
#include <QWidget>

#include <exception>

bool &ProgramEntry::Failed()
{
    static bool failed = false;
    return failed;
}

bool &ProgramEntry::Looping()
{
    static bool looping = false;
    return looping;
}

void ProgramEntry::Fail(const QString &message)
{
    const bool first = !Failed();
    Failed() = true;
    if (first)
        AppMessage::Error(nullptr, QStringLiteral("Tracemoor"), message);
    // Outside the loop Run sees the failure itself; an exit request there
    // would end every later modal dialog at once.
    if (Looping())
        QCoreApplication::exit(ErrorExitCode);
}

void ProgramEntry::BringToFront(QWidget *mainWindow)
{
    QWidget *w = QApplication::activeModalWidget();
    if (!w)
        w = mainWindow;
    if (!w)
        return;
    if (w->isMinimized())
        w->showNormal();
    w->raise();
    w->activateWindow();
}

int ProgramEntry::Run(const WindowFactory &createWindows, std::string_view lockName)
{
    const QString channelPath = QString::fromStdString(InstanceLock::ChannelPath(lockName));
    InstanceLock lock(lockName);
    if (lock.TryAcquire() == InstanceLock::Result::HeldElsewhere) {
        InstanceChannel::AskToRaise(channelPath);
        return SecondInstanceExitCode;
    }
    // Without a usable runtime folder the program still runs, unguarded.

    InstanceChannel channel;
    if (lock.Held())
        channel.Listen(channelPath);

    Failed() = false;
    std::unique_ptr<QWidget> mainWindow;
    try {
        mainWindow = createWindows();
    } catch (const std::exception &e) {
        Fail(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        Fail(QStringLiteral("Unknown error."));
    }
    if (Failed() || !mainWindow)
        return ErrorExitCode;

    QWidget *main = mainWindow.get();
    QObject::connect(&channel, &InstanceChannel::RaiseRequested, main,
                     [main] { BringToFront(main); });
    Looping() = true;
    const int code = QApplication::exec();
    Looping() = false;
    mainWindow.reset();
    return Failed() ? ErrorExitCode : code;
}
