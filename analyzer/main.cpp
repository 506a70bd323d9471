#include "analyzer/TApplication.h"
#include "analyzer/TForm1.h"
#include "ui/ProgramEntry.h"
#include "ui/ProgramOptions.h"

int main(int argc, char *argv[])
{
    // --help and --version need no display, so they are answered before the
    // application object connects to one.
    ProgramOptions options = ProgramOptions::Tracemoor();
    if (const auto code = options.Check(argc, argv, ProgramOptions::Stage::BeforeQt))
        return *code;
    TApplication app(argc, argv);
    if (const auto code = options.Check(app.arguments(), ProgramOptions::Stage::AfterQt))
        return *code;
    return ProgramEntry::Run(ProgramEntry::Tracemoor(), [&options] {
        auto form = std::make_unique<TForm1>();
        form->AutoScaleAtStart = options.AutoScale();
        form->CreateDialogs();
        form->showMaximized();
        return std::unique_ptr<QWidget>(std::move(form));
    });
}
