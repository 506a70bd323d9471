#include "gather/GatherWindowless.h"

#include "device/UsbDriver.h"
#include "gather/CGatherControl.h"
#include "gather/GatherTimers.h"
#include "host/InstanceLock.h"
#include "ui/InstanceChannel.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

void Print(const std::string &line)
{
    std::fprintf(stderr, "gathermoor: %s\n", line.c_str());
    std::fflush(stderr);
}

// SIGINT and SIGTERM end the event loop, so the lock and the device are let
// go in order.
int signalPair[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(signalPair[1], &byte, 1);
}

} // namespace

int GatherWindowless::Run(const std::string &systemFile, const QString &parameterFile)
{
    if (InstanceLock::IsHeld(InstanceLock::AnalyzerName)) {
        Print("Gathermoor does not run while Tracemoor runs; end Tracemoor first.");
        return 1;
    }
    InstanceLock lock(InstanceLock::GathermoorName);
    const QString channelPath =
        QString::fromStdString(InstanceLock::ChannelPath(InstanceLock::GathermoorName));
    switch (lock.TryAcquire()) {
    case InstanceLock::Result::HeldElsewhere:
        InstanceChannel::AskToRaise(channelPath);
        Print("Gathermoor is already running.");
        return 1;
    case InstanceLock::Result::Unavailable:
        Print("no single-instance lock: " + lock.Problem());
        break;
    case InstanceLock::Result::Acquired:
        break;
    }
    InstanceChannel channel; // a second start is told that this one runs
    if (lock.Held())
        channel.Listen(channelPath);

    GatherTimers timers;
    CGatherControl::Hooks hooks;
    hooks.Message = [](const std::string &text) { Print(text); };
    // With Auto Restart off the run is one capture: the program ends after
    // it (0 when the data file was written). With it on, the run goes on,
    // and a missing analyzer is waited for.
    CGatherControl *gather = nullptr;
    hooks.Ended = [&gather](bool written) {
        if (gather != nullptr && !gather->AutoRestart())
            QCoreApplication::exit(written ? 0 : CaptureFailedExitCode);
    };
    timers.Bind(hooks);
    CGatherControl control(systemFile, std::move(hooks));
    gather = &control;
    control.CreateLink(UsbDriver::FromEnvironment());
    timers.Attach(control);
    control.Startup();
    if (!parameterFile.isEmpty())
        control.LoadParameterFile(parameterFile.toLocal8Bit().toStdString());
    if (control.ParameterPath().empty()) {
        Print("no parameter file: give one with --param FILE.");
        return 1;
    }
    if (!control.Execute())
        return 1;

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPair) == 0) {
        auto *notifier =
            new QSocketNotifier(signalPair[0], QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(notifier, &QSocketNotifier::activated, [] { QCoreApplication::quit(); });
        std::signal(SIGINT, OnSignal);
        std::signal(SIGTERM, OnSignal);
    }
    QTimer resume;
    QObject::connect(&resume, &QTimer::timeout, [&control] {
        if (control.AutoRestart() && !control.Watching() && !control.Capturing() &&
            control.Connected())
            control.Start();
    });
    resume.start(GatherTimers::WatchMs);
    return QCoreApplication::exec();
}
