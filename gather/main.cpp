#include "analyzer/InstanceLock.h"
#include "analyzer/ProgramEntry.h"
#include "analyzer/ProgramOptions.h"
#include "gather/TMainForm.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    ProgramOptions options = ProgramOptions::Gathermoor();
    if (const auto code = options.Check(argc, argv, ProgramOptions::Stage::BeforeQt))
        return *code;
    QApplication app(argc, argv);
    if (const auto code = options.Check(app.arguments(), ProgramOptions::Stage::AfterQt))
        return *code;
    const QString title = QStringLiteral("Data Acquisition");
    app.setApplicationDisplayName(title);
    const ProgramEntry::Program program{
        QStringLiteral("Gathermoor"),
        title,
        InstanceLock::GathermoorName,
        InstanceLock::AnalyzerName,
        QStringLiteral("Logic Analyzer and Data Acquisition can not be used in conjunction.\n"
                       "Data Acquisition will be terminated.If you want to use Data "
                       "Acquisition please terminate the Logic Analyzer first."),
        QStringLiteral("Gathermoor does not run while Tracemoor runs; end Tracemoor first.")};
    return ProgramEntry::Run(program, [] {
        auto form = std::make_unique<TMainForm>();
        form->show();
        return std::unique_ptr<QWidget>(std::move(form));
    });
}
