#pragma once

#include <QString>

#include <functional>
#include <memory>

class QWidget;

// Process entry of the analyzer: the single-instance rule, window creation and
// the event loop.
//
// A second start finds the named lock "MyMutexName" held, asks the running
// program to bring its window to the front and ends with exit code 1 before
// any window exists. An error that escapes window creation or an event
// handler is shown and ends the program with exit code 2; the lock is
// released on every exit.
class ProgramEntry
{
public:
    static constexpr int SecondInstanceExitCode = 1;
    static constexpr int ErrorExitCode = 2;

    // Builds every window and shows the main one; returns the main window.
    using WindowFactory = std::function<std::unique_ptr<QWidget>()>;

    // `lockName` is the lock of the program (tests use their own name).
    static int Run(const WindowFactory &createWindows, std::string_view lockName);

    // Shows `message` as an error and ends the program with ErrorExitCode.
    static void Fail(const QString &message);

    // Brings the window's active modal dialog, or the window itself, to the front.
    static void BringToFront(QWidget *mainWindow);

private:
    static bool &Failed();
    static bool &Looping();
};
