#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <string_view>

class QWidget;

// Process entry of both programs: the single-instance rule, window creation
// and the event loop.
//
// A second start finds the program's lock held, asks the running program to
// bring its window to the front, says so on standard error and ends with exit
// code 1 before any window exists. A program may also refuse to run beside
// another one (Gathermoor beside Tracemoor): it says why, in a box and on
// standard error, and ends with exit code 1. An error that escapes window
// creation or an event handler is shown and ends the program with exit code
// 2; the lock is released on every exit.
class ProgramEntry
{
public:
    static constexpr int SecondInstanceExitCode = 1;
    static constexpr int RefusedExitCode = 1;
    static constexpr int ErrorExitCode = 2;

    // Who is starting.
    struct Program
    {
        QString name;          // "Tracemoor", in the lines on standard error
        QString caption;       // of the message boxes
        std::string_view lock; // its own lock (tests use their own name)
        // The lock of a program this one never runs beside (empty: none),
        // the text shown then and the line for standard error.
        std::string_view refusedBeside = {};
        QString refusal = {};
        QString refusalLine = {};
    };
    static Program Tracemoor();

    // Builds every window and shows the main one; returns the main window.
    using WindowFactory = std::function<std::unique_ptr<QWidget>()>;

    static int Run(const Program &program, const WindowFactory &createWindows);

    // Shows `message` as an error and ends the program with ErrorExitCode.
    static void Fail(const QString &message);

    // Brings the window's active modal dialog, or the window itself, to the
    // front, showing it again when it is minimised or hidden.
    static void BringToFront(QWidget *mainWindow);

    // The line a second start leaves on standard error.
    static QString AlreadyRunningLine(const QString &name, bool raised);

private:
    static bool &Failed();
    static bool &Looping();
    static QString &Caption();
};
