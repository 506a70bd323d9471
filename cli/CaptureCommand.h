#pragma once

#include <ostream>
#include <span>
#include <string>

class CliArguments;
class CliSession;

// "capture": one capture through acquisition control's Single Run (the same
// command sequence as the analyzer program's), written as a project file.
// The options set what the main window and the trigger dialogs would.
class CaptureCommand
{
public:
    static int Run(std::span<const std::string> args, std::ostream &out, std::ostream &err);

    // The options into the settings record of the session's model; empty
    // when they fit, otherwise what does not. `timeDivRow` receives the row.
    static std::string ApplyOptions(const CliArguments &a, CliSession &session, int &timeDivRow);
};
