#include "gather/CGatherControl.h"
#include "gather/GatherWindowless.h"
#include "gather/TMainForm.h"
#include "host/InstanceLock.h"
#include "host/SystemIni.h"
#include "ui/ProgramEntry.h"
#include "ui/ProgramOptions.h"

#include <QApplication>
#include <QTimer>

#include <filesystem>

namespace {

// "System.txt" lies beside the analyzer's System.ini: in the user's
// settings folder, or beside the program for a portable copy.
std::string SystemFile(const QString &programFolder)
{
    const std::filesystem::path ini = SystemIni::Resolve(programFolder.toLocal8Bit().toStdString());
    return (ini.parent_path() / CGatherControl::SystemFileName).string();
}

} // namespace

int main(int argc, char *argv[])
{
    ProgramOptions options = ProgramOptions::Gathermoor();
    if (const auto code = options.Check(argc, argv, ProgramOptions::Stage::BeforeQt))
        return *code;
    if (options.NoWindow()) {
        // No display is needed: no widget is ever made.
        QCoreApplication app(argc, argv);
        if (const auto code = options.Check(app.arguments(), ProgramOptions::Stage::AfterQt))
            return *code;
        return GatherWindowless::Run(SystemFile(QCoreApplication::applicationDirPath()),
                                     options.ParameterFile());
    }
    QApplication app(argc, argv);
    if (const auto code = options.Check(app.arguments(), ProgramOptions::Stage::AfterQt))
        return *code;
    const QString title = QStringLiteral("Data Acquisition");
    app.setApplicationDisplayName(title);
    // The window may live in the notification area only.
    QApplication::setQuitOnLastWindowClosed(false);
    const ProgramEntry::Program program{
        QStringLiteral("Gathermoor"),
        title,
        InstanceLock::GathermoorName,
        InstanceLock::AnalyzerName,
        QStringLiteral("Logic Analyzer and Data Acquisition can not be used in conjunction.\n"
                       "Data Acquisition will be terminated.If you want to use Data "
                       "Acquisition please terminate the Logic Analyzer first."),
        QStringLiteral("Gathermoor does not run while Tracemoor runs; end Tracemoor first.")};
    const QString parameterFile = options.ParameterFile();
    return ProgramEntry::Run(program, [&parameterFile] {
        auto form = std::make_unique<TMainForm>(SystemFile(QCoreApplication::applicationDirPath()));
        form->show();
        TMainForm *shown = form.get();
        QTimer::singleShot(0, shown, [shown, parameterFile] {
            shown->Startup();
            if (!parameterFile.isEmpty())
                shown->ExecuteFile(parameterFile);
        });
        return std::unique_ptr<QWidget>(std::move(form));
    });
}
