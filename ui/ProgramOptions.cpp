#include "ui/ProgramOptions.h"

#include <QFileInfo>

#include <cstdio>

#ifndef TRACEMOOR_VERSION
#define TRACEMOOR_VERSION "0"
#endif

namespace {

// Options that the application object may take for itself (QGuiApplication,
// QApplication and the platform plug-ins). Before it exists they are let
// through, together with what follows them; afterwards Qt has removed those
// it knew.
bool MayBeQtOption(const QString &name)
{
    static const QStringList names{"platform",      "platformpluginpath",
                                   "platformtheme", "plugin",
                                   "qmljsdebugger", "qwindowgeometry",
                                   "geometry",      "qwindowicon",
                                   "icon",          "qwindowtitle",
                                   "title",         "reverse",
                                   "session",       "display",
                                   "name",          "style",
                                   "stylesheet",    "widgetcount",
                                   "nograb",        "dograb",
                                   "sync",          "visual",
                                   "testability"};
    return names.contains(name);
}

void Print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

ProgramOptions::ProgramOptions(const QString &name_, const QString &description, Offers offers_)
    : name(name_)
    , executable(name_.toLower())
    , helpOption(QStringList{"h", "help", "?"}, "Displays help on the command-line options.")
    , versionOption(QStringList{"v", "version"}, "Displays version information.")
    , autoScaleOption("auto-scale", "Presses Auto Scale once the main window is up.")
    , paramOption("param", "Loads the parameter file FILE and starts watching it.", "FILE")
    , noWindowOption("no-window",
                     "Runs without any window or notification-area icon (needs --param or a "
                     "remembered parameter file); messages go to standard error.")
    , offers(offers_)
{
    // Qt's own options are words after a single dash.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(description);
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    if (offers == Offers::AutoScale) {
        parser.addOption(autoScaleOption);
    } else {
        parser.addOption(paramOption);
        parser.addOption(noWindowOption);
    }
}

ProgramOptions ProgramOptions::Tracemoor()
{
    return ProgramOptions(QStringLiteral("Tracemoor"),
                          QStringLiteral("Analyzer program for the USB logic analyzers."),
                          Offers::AutoScale);
}

ProgramOptions ProgramOptions::Gathermoor()
{
    return ProgramOptions(QStringLiteral("Gathermoor"),
                          QStringLiteral("Makes a capture whenever the parameter file changes."),
                          Offers::Gather);
}

ProgramOptions::Action ProgramOptions::Parse(const QStringList &arguments, Stage stage)
{
    if (!arguments.isEmpty() && !arguments.first().isEmpty())
        executable = QFileInfo(arguments.first()).fileName();
    error.clear();
    autoScaleSet = false;
    parameterFile.clear();
    noWindow = false;
    parser.parse(arguments);
    // Help and version win over everything else, as with other programs.
    if (parser.isSet(helpOption))
        return Action::Help;
    if (parser.isSet(versionOption))
        return Action::Version;
    for (const QString &unknown : parser.unknownOptionNames()) {
        if (stage == Stage::AfterQt || !MayBeQtOption(unknown)) {
            error = QStringLiteral("Unknown option '%1'.").arg(unknown);
            return Action::Error;
        }
    }
    if (stage == Stage::AfterQt && !parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments()[0]);
        return Action::Error;
    }
    // Any other complaint (a value after --auto-scale=) once no option is
    // left to Qt.
    if (parser.unknownOptionNames().isEmpty() && !parser.errorText().isEmpty()) {
        error = parser.errorText();
        return Action::Error;
    }
    autoScaleSet = offers == Offers::AutoScale && parser.isSet(autoScaleOption);
    parameterFile = offers == Offers::Gather ? parser.value(paramOption) : QString();
    noWindow = offers == Offers::Gather && parser.isSet(noWindowOption);
    return Action::Start;
}

QString ProgramOptions::HelpText() const
{
    // The parser names the program after argv[0] only once an application
    // object exists; the usage line is written here instead.
    QString text = parser.helpText();
    text.remove(0, text.indexOf(QLatin1Char('\n')) + 1);
    return QStringLiteral("Usage: %1 [options]\n").arg(executable) + text;
}

QString ProgramOptions::VersionText() const
{
    return name + QStringLiteral(" " TRACEMOOR_VERSION "\n");
}

QString ProgramOptions::ErrorText() const
{
    return QStringLiteral("%1: %2\nUsage: %1 [options]\nTry '%1 --help' for more information.\n")
        .arg(executable, error);
}

std::optional<int> ProgramOptions::Answer(Action action) const
{
    switch (action) {
    case Action::Start:
        return std::nullopt;
    case Action::Help:
        Print(stdout, HelpText());
        return 0;
    case Action::Version:
        Print(stdout, VersionText());
        return 0;
    case Action::Error:
        Print(stderr, ErrorText());
        return 1;
    }
    return std::nullopt;
}

std::optional<int> ProgramOptions::Check(const QStringList &arguments, Stage stage)
{
    return Answer(Parse(arguments, stage));
}

std::optional<int> ProgramOptions::Check(int argc, char **argv, Stage stage)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return Check(arguments, stage);
}
