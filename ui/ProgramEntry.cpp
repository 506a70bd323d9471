#include "ui/ProgramEntry.h"

#include "host/InstanceLock.h"
#include "ui/AppMessage.h"
#include "ui/InstanceChannel.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>
#include <exception>

namespace {

void PrintError(const QString &line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace

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

QString &ProgramEntry::Caption()
{
    static QString caption = QStringLiteral("Tracemoor");
    return caption;
}

ProgramEntry::Program ProgramEntry::Tracemoor()
{
    return {QStringLiteral("Tracemoor"), QStringLiteral("Tracemoor"), InstanceLock::AnalyzerName};
}

QString ProgramEntry::AlreadyRunningLine(const QString &name, bool raised)
{
    return raised ? QStringLiteral("%1 is already running; its window was raised.").arg(name)
                  : QStringLiteral("%1 is already running.").arg(name);
}

void ProgramEntry::Fail(const QString &message)
{
    const bool first = !Failed();
    Failed() = true;
    if (first)
        AppMessage::Error(nullptr, Caption(), message);
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
    if (w->isMinimized() || !w->isVisible())
        w->showNormal();
    w->raise();
    w->activateWindow();
}

int ProgramEntry::Run(const Program &program, const WindowFactory &createWindows)
{
    Caption() = program.caption;
    if (!program.refusedBeside.empty() && InstanceLock::IsHeld(program.refusedBeside)) {
        PrintError(program.refusalLine);
        AppMessage::Information(nullptr, program.caption, program.refusal);
        return RefusedExitCode;
    }
    const QString channelPath = QString::fromStdString(InstanceLock::ChannelPath(program.lock));
    InstanceLock lock(program.lock);
    switch (lock.TryAcquire()) {
    case InstanceLock::Result::HeldElsewhere:
        PrintError(AlreadyRunningLine(program.name, InstanceChannel::AskToRaise(channelPath)));
        return SecondInstanceExitCode;
    case InstanceLock::Result::Unavailable:
        // The program still runs, unguarded.
        PrintError(QStringLiteral("%1: no single-instance lock: %2")
                       .arg(program.name, QString::fromStdString(lock.Problem())));
        break;
    case InstanceLock::Result::Acquired:
        break;
    }

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
