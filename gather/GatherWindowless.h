#pragma once

#include <QString>

#include <string>

// Gathermoor without any window or notification-area icon, for a lab
// machine without a desktop: the single-instance rules of the windowed
// program, then the parameter file given (or the one System.txt remembers)
// is watched until the process is ended; every message goes to standard
// error. Runs on a QCoreApplication, so no display is needed.
class GatherWindowless
{
public:
    static constexpr int CaptureFailedExitCode = 3;

    // The exit code: 1 when refused (Tracemoor runs, Gathermoor runs, no
    // parameter file); with Auto Restart off 0 after a data file was
    // written, 3 after a capture that failed; otherwise 0 once SIGINT or
    // SIGTERM ended it.
    static int Run(const std::string &systemFile, const QString &parameterFile);
};
