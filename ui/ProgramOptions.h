#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

// The command line of both programs. It is read twice: once before the
// application object exists, so that --help, --version and a misspelt option
// are answered without a display, and once after Qt has taken its own
// options (-platform, -style, ...) out of it, when whatever is left must be
// the program's.
class ProgramOptions
{
public:
    enum class Stage { BeforeQt, AfterQt };
    enum class Action { Start, Help, Version, Error };

    // What a program offers beyond --help and --version: Tracemoor
    // --auto-scale, Gathermoor --param FILE and --no-window.
    enum class Offers { AutoScale, Gather };

    // `name` as in "Tracemoor 2.06".
    ProgramOptions(const QString &name, const QString &description, Offers offers);

    static ProgramOptions Tracemoor();
    static ProgramOptions Gathermoor();

    Action Parse(const QStringList &arguments, Stage stage);

    // Prints what Parse asked for: help or version on standard output (exit
    // code 0), an error with the usage line on standard error (exit code 1).
    // Empty for Start.
    std::optional<int> Answer(Action action) const;
    // Parse and Answer on main's arguments.
    std::optional<int> Check(int argc, char **argv, Stage stage);
    std::optional<int> Check(const QStringList &arguments, Stage stage);

    bool AutoScale() const { return autoScaleSet; }
    // Gathermoor: the parameter file to load and watch at once (empty when
    // not given), and whether to run without any window.
    QString ParameterFile() const { return parameterFile; }
    bool NoWindow() const { return noWindow; }
    QString HelpText() const;
    QString VersionText() const;
    // The parser's complaint, the usage line and where to find help.
    QString ErrorText() const;

private:
    QString name;
    QString executable;
    QCommandLineParser parser;
    QCommandLineOption helpOption;
    QCommandLineOption versionOption;
    QCommandLineOption autoScaleOption;
    QCommandLineOption paramOption;
    QCommandLineOption noWindowOption;
    Offers offers;
    bool autoScaleSet = false;
    QString parameterFile;
    bool noWindow = false;
    QString error;
};
