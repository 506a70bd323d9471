#include "analyzer/InstanceLock.h"
#include "analyzer/ProgramEntry.h"
#include "analyzer/TApplication.h"
#include "analyzer/TForm1.h"

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);
    return ProgramEntry::Run(
        [] {
            auto form = std::make_unique<TForm1>();
            form->CreateDialogs();
            form->showMaximized();
            return std::unique_ptr<QWidget>(std::move(form));
        },
        InstanceLock::AnalyzerName);
}
