// The file commands in the main window: project Save and Load (names, the
// overwrite questions, LastFile, another model, a bad file), the Capture
// window's picture, Import and Export over the emulated instrument, the
// Report dialog and printing to PDF. With TRACEMOOR_SCREENSHOTS the Capture
// window and the Report dialog are kept as pictures.

#include "tests/analyzer/AnalyzerWindowFixture.h"
#include "tests/display/LanguageFileForTest.h"

#include "analyzer/TForm1FileSysHost.h"
#include "analyzer/TForm1StatusBar.h"
#include "display/CCaptureRecord.h"
#include "display/CWaveform.h"
#include "files/CIniFile.h"
#include "files/CPrinter.h"
#include "files/FileSys.h"
#include "files/ProjectFile.h"
#include "files/TReport_form.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>

#include <map>
#include <optional>
#include <string>

namespace {

// Answers every question with `yes` and records all messages.
class Answers
{
public:
    explicit Answers(bool yes)
    {
        AppMessage::SetHandler(
            [this, yes](AppMessage::Kind kind, const QString &caption, const QString &text) {
                messages.push_back({kind, caption, text});
                return yes;
            });
    }
    ~Answers() { AppMessage::SetHandler({}); }
    QStringList Texts() const
    {
        QStringList t;
        for (const auto &m : messages)
            t << m.text;
        return t;
    }
    std::vector<MessageRecorder::Message> messages;
};

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class FilesWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        FileSys::Wait = [](int) {};
        FileSys::ChooseFile = [this](QWidget *, bool, const QString &) { return choice; };
    }
    void TearDown() override
    {
        FileSys::ChooseFile = [](QWidget *, bool, const QString &) { return FileSys::Choice{}; };
    }
    QString Path(const char *name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
    FileSys::Choice choice;
};

TEST_F(FilesWindow, SaveAndLoadAProject)
{
    AnalyzerWindow w(0, "");
    TForm1 &form = *w.form;
    CFile &record = w.Settings();
    record.TimeDivRow = 9;
    record.RateRow = 9;
    std::fill(form.System().SampleBuffer.begin(), form.System().SampleBuffer.end(), 0x5A);

    choice = {Path("abc"), 1};
    form.SaveClick();
    const QByteArray saved = ReadAll(Path("abc.pjf"));
    ASSERT_EQ(static_cast<size_t>(saved.size()), ProjectFile::FileSize(0));
    const std::string ini = form.SystemIniPath();
    EXPECT_EQ(CIniFile(ini).ReadString("History", "LastFile", ""), Path("abc.pjf").toStdString());

    // Saving over it asks; No leaves the file.
    record.TimeDivRow = 11;
    {
        Answers no(false);
        form.SaveClick();
        ASSERT_EQ(no.messages.size(), 1u);
        EXPECT_EQ(no.messages[0].caption, "Overwrite?");
        EXPECT_EQ(no.messages[0].text,
                  "The file has already existed.Are you sure overwrite this file?");
    }
    EXPECT_EQ(ReadAll(Path("abc.pjf")), saved);

    // Load asks too; Yes brings the record and samples back and the views follow.
    std::fill(form.System().SampleBuffer.begin(), form.System().SampleBuffer.end(), 0);
    choice = {Path("abc.pjf"), 1};
    {
        Answers yes(true);
        form.LoadClick();
        ASSERT_EQ(yes.messages.size(), 1u);
        EXPECT_EQ(yes.messages[0].text, "Are you sure you want to overwrite the settings?");
    }
    EXPECT_EQ(record.TimeDivRow, 9);
    EXPECT_EQ(form.DivComboBox->currentIndex(), 9);
    EXPECT_EQ(form.System().SampleBuffer[100], 0x5A);
    EXPECT_TRUE(form.Timer3->isActive());

    // A save that cannot be written says so and leaves LastFile alone.
    choice = {Path("no-such-folder/x"), 1};
    Answers told(true);
    form.SaveClick();
    ASSERT_EQ(told.messages.size(), 1u);
    EXPECT_TRUE(told.messages[0].text.startsWith("The file could not be written;"));
    EXPECT_EQ(CIniFile(ini).ReadString("History", "LastFile", ""), Path("abc.pjf").toStdString());
}

TEST_F(FilesWindow, LoadSwitchesToTheModelOfTheFileOrRefusesABadFile)
{
    AnalyzerWindow w(0, "");
    TForm1 &form = *w.form;
    CFile other;
    WSystem system;
    system.SelectModel(2);
    other.ModelCode = 2;
    other.ResetSettings();
    other.MemoryDepthIndex = 4;
    ASSERT_EQ(ProjectFile::Save(Path("m2.pjf").toStdString(), other, system),
              ProjectFile::Error::None);
    QFile::copy(Path("m2.pjf"), Path("cut.pjf"));
    QFile(Path("cut.pjf")).resize(5000);

    Answers yes(true);
    choice = {Path("cut.pjf"), 1};
    form.LoadClick();
    ASSERT_EQ(yes.messages.size(), 2u);
    EXPECT_TRUE(yes.messages[1].text.startsWith("This is not a valid project file."));
    EXPECT_EQ(form.System().ModelCode, 0);

    choice = {Path("m2.pjf"), 1};
    form.LoadClick();
    EXPECT_EQ(form.System().ModelCode, 2);
    EXPECT_EQ(w.Settings().ModelCode, 2);
    EXPECT_TRUE(form.windowTitle().endsWith("200MHz/2ns"));
    EXPECT_EQ(form.Memory_Depth_ComboBox->count(), static_cast<int>(form.System().DepthCount));
    EXPECT_EQ(form.Memory_Depth_ComboBox->currentIndex(), 4);
}

TEST_F(FilesWindow, LoadTakesAValueChangeDumpAndTellsTheChangedSpacing)
{
    AnalyzerWindow w(0, "");
    TForm1 &form = *w.form;
    {
        QFile f(Path("sim.vcd"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("$timescale 1 ns $end $var wire 1 ! clock $end $var wire 4 \" nibble $end\n"
                "$enddefinitions $end #0 0! b0000 \" #33 1! b1001 \" #66 0! #99\n");
    }
    Answers yes(true);
    choice = {Path("sim.vcd"), 1};
    form.LoadClick();
    ASSERT_EQ(yes.messages.size(), 1u) << yes.Texts().join("\n").toStdString();
    EXPECT_EQ(form.System().ModelCode, 7);
    EXPECT_EQ(CFile::NameText(w.Settings().ChannelEntry[0]), "clock");
    EXPECT_EQ(CFile::NameText(w.Settings().BusEntry[0]), "nibble");
    // 33 ns steps lie off the finest period's grid: every 2 ns, said in the
    // status bar.
    EXPECT_TRUE(form.StatusBar->PanelText(3).contains("sampled every 2 ns"))
        << form.StatusBar->PanelText(3).toStdString();
    // The trigger at the record's first sample.
    EXPECT_EQ(form.CaptureRecord->RecordStart, form.CaptureRecord->TriggerAddress);
    EXPECT_EQ(form.CaptureRecord->PreTriggerPercent, 0);
    // A dump is not offered again at start, which reads projects only.
    EXPECT_EQ(CIniFile(form.SystemIniPath()).ReadString("History", "LastFile", ""), "");
}

TEST_F(FilesWindow, CaptureWindowSavesThePictureWithTheComments)
{
    AnalyzerWindow w(0, "");
    TForm1 &form = *w.form;
    const QImage picture = FileSys::Picture(form, {"one", "two", "three"});
    EXPECT_EQ(picture.size(), form.size());
    // Each line lies on a black box from x 10, y 10 + 20 i, with white text.
    for (int line = 0; line < 3; ++line) {
        const int top = 10 + 20 * line;
        EXPECT_EQ(picture.pixel(10, top), qRgb(0, 0, 0)) << line;
        bool white = false;
        for (int y = top; y < top + 18; ++y)
            for (int x = 10; x < 40; ++x)
                white = white || picture.pixel(x, y) == qRgb(255, 255, 255);
        EXPECT_TRUE(white) << line;
    }
    EXPECT_NE(picture.pixel(10, 75), qRgb(255, 255, 255));

    // Through the window: "shot" with the JPEG filter becomes shot.jpg.
    choice = {Path("shot"), 2};
    FileSys files(*form.FilesHost);
    ModalAnswerer answer([&](QWidget *dialog) {
        if (dialog != files.CaptureForm)
            return;
        files.CommentMemo->setPlainText(QStringLiteral("Board 7\nafter reset"));
        KeepScreenshot(*files.CaptureForm, "capture-window.png");
        files.CaptureButton->click();
    });
    files.CaptureWindowShow();
    EXPECT_EQ(answer.Seen(), 1);
    EXPECT_TRUE(ReadAll(Path("shot.jpg")).startsWith("\xFF\xD8\xFF"));
    choice = {Path("shot.BMP"), 1};
    files.CaptureWindowShow();
    EXPECT_TRUE(ReadAll(Path("shot.BMP.bmp")).startsWith("BM"));
}

TEST_F(FilesWindow, ExportThenImportThroughTheInstrument)
{
    AnalyzerWindow w(1, Emulated(1));
    TForm1 &form = *w.form;
    std::vector<uint8_t> &samples = form.System().SampleBuffer;
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<uint8_t>(i * 13);
    w.Settings().TimeDivRow = 12;
    w.Settings().RateRow = 12;
    const std::vector<uint8_t> exported = samples;
    form.ExportClick();
    EXPECT_EQ(w.Messages().back(), "Data export succeed.");
    const auto memory = w.Analyzer().Memory();
    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), exported.begin()));

    std::fill(samples.begin(), samples.end(), 0);
    w.Settings().TimeDivRow = 3;
    form.ImportClick();
    EXPECT_EQ(w.Messages().back(), "Data import succeed.");
    EXPECT_EQ(w.Settings().TimeDivRow, 12);
    EXPECT_EQ(form.DivComboBox->currentIndex(), 12);
    EXPECT_TRUE(samples == exported);
}

// Faults keep the program's record and capture, and say what happened.
TEST_F(FilesWindow, TransferFaultsAreToldAndChangeNothing)
{
    struct Case
    {
        const char *device;
        bool import;
        const char *message;
        const char *key; // of section "FileSystem"
    } const cases[] = {
        {"answer=ReadBlock:0xE0", true, "Tracemoor is busy.", "strFileWarning4"},
        {"linkfail=ReadBlock", true, "Tracemoor is not linking.", "strFileWarning5"},
        {"timeout=ReadBlock", true, "Can't not get data from device.", "strFileWarning3"},
        {"stall=ReadBlock", true, "Can't not get data from device.", "strFileWarning6"},
        {"unplug=ReadSamples", true, "Can't not get data from device.", "strFileWarning3"},
        {"answer=WriteSamples:0xE0", false, "Can't not export to device.", "strFileWarning8"},
    };
    // Each message also in a translation: every key read where it is used.
    const std::string translated = "[FileSystem]\nstrFileWarning3=Drei\nstrFileWarning4=Vier\n"
                                   "strFileWarning5=Fuenf\nstrFileWarning6=Sechs\n"
                                   "strFileWarning8=Acht\n";
    const std::map<std::string, QString> translations{{"strFileWarning3", "Drei"},
                                                      {"strFileWarning4", "Vier"},
                                                      {"strFileWarning5", "Fuenf"},
                                                      {"strFileWarning6", "Sechs"},
                                                      {"strFileWarning8", "Acht"}};
    for (const bool inTranslation : {false, true}) {
        for (const Case &c : cases) {
            AnalyzerWindow w(1, Emulated(1, c.device));
            // After the window's start-up, which sets the language of System.ini.
            std::optional<LanguageFileForTest> language;
            if (inTranslation)
                language.emplace(translated);
            std::vector<uint8_t> &samples = w.form->System().SampleBuffer;
            std::fill(samples.begin(), samples.end(), 0x33);
            w.Settings().TimeDivRow = 8;
            if (c.import)
                w.form->ImportClick();
            else
                w.form->ExportClick();
            ASSERT_FALSE(w.Messages().isEmpty()) << c.device;
            EXPECT_EQ(w.Messages().back(),
                      inTranslation ? translations.at(c.key) : QString::fromLatin1(c.message))
                << c.device << " " << c.key;
            EXPECT_EQ(w.Settings().TimeDivRow, 8) << c.device;
            EXPECT_EQ(w.form->System().ModelCode, 1) << c.device;
            EXPECT_TRUE(std::all_of(samples.begin(), samples.end(), [](uint8_t b) {
                return b == 0x33;
            })) << c.device;
        }
    }

    AnalyzerWindow pc(5, Emulated(5));
    pc.form->ImportClick();
    EXPECT_EQ(pc.Messages().back(), "This function is not supported PC-Base Logic Analyzer.");

    AnalyzerWindow demo(0, "");
    demo.form->ImportClick();
    ASSERT_FALSE(demo.Messages().isEmpty());
    EXPECT_EQ(demo.Messages().back(), "Can't not get data from device.");
}

// Choosing an existing file to save over asks nothing in the file dialog:
// the project's Save asks its own "Overwrite?", a picture and a report
// replace their file.
TEST_F(FilesWindow, SaveDialogsAskNoOverwriteQuestionOfTheirOwn)
{
    const QString existing = Path("existing.pjf");
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("12345");
    }
    struct Case
    {
        const char *what;
        std::function<QString()> ask;
    } const cases[] = {
        {"project",
         [] {
             return FileSys::AskFile(nullptr, true, QStringLiteral("Project File(.pjf) (*.pjf)"))
                 .path;
         }},
        {"picture",
         [] {
             return FileSys::AskFile(nullptr, true,
                                     QStringLiteral("BitMap(.bmp) (*.bmp);;Jpeg(.jpg) (*.jpg)"))
                 .path;
         }},
        {"report", [] { return TReport_form::AskFile(nullptr).path; }},
    };
    for (const Case &c : cases) {
        int fileDialogs = 0, questions = 0;
        ModalAnswerer answer([&](QWidget *dialog) {
            if (auto *files = qobject_cast<QFileDialog *>(dialog)) {
                ++fileDialogs;
                EXPECT_TRUE(files->testOption(QFileDialog::DontConfirmOverwrite)) << c.what;
                files->selectFile(existing);
                QMetaObject::invokeMethod(files, "accept"); // a protected slot
            } else if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
                ++questions; // the file dialog's own question: answered so it ends
                box->button(QMessageBox::Yes)->click();
            }
        });
        const QString chosen = c.ask();
        EXPECT_EQ(fileDialogs, 1) << c.what;
        EXPECT_EQ(questions, 0) << c.what;
        EXPECT_EQ(QFileInfo(chosen).fileName(), QStringLiteral("existing.pjf")) << c.what;
    }
}

TEST_F(FilesWindow, ReportWritesTheChosenRange)
{
    AnalyzerWindow w(0, "");
    TForm1 &form = *w.form;
    form.SingleRunButtonClick();
    ASSERT_TRUE(w.WaitIdle());
    const QString path = Path("report");
    TReport_form::ChooseFile = [&](QWidget *) { return TReport_form::Choice{path, 2}; };
    ModalAnswerer answer([&](QWidget *dialog) {
        auto *report = qobject_cast<TReport_form *>(dialog);
        if (report == nullptr)
            return;
        report->Report_TesterEdit->setText(QStringLiteral("Ada"));
        report->Report_Comment->setPlainText(QStringLiteral("first look"));
        report->Report_Box_From->setCurrentText(QStringLiteral("T"));
        EXPECT_GT(report->Report_Preview->model()->rowCount(), 0);
        KeepScreenshot(*report, "report-dialog.png");
        report->Report_Btn_OK->click();
    });
    form.Report1Click();
    EXPECT_EQ(answer.Seen(), 1);
    TReport_form::ChooseFile = [](QWidget *) { return TReport_form::Choice{}; };

    const QByteArray text = ReadAll(path + ".csv");
    EXPECT_TRUE(text.startsWith("File Name: report.csv\r")) << text.left(40).toStdString();
    EXPECT_TRUE(text.contains("\rTester: Ada\rComments: first look\r\r"));
    EXPECT_TRUE(text.contains("\rFrom: T\tTo: End\r"));
    EXPECT_TRUE(text.contains("\rT,+0,"));
    EXPECT_FALSE(text.contains('\n'));
}

// Pages of a PDF that Qt wrote, and the first page's width and height.
struct PdfPages
{
    int count = 0;
    double width = 0, height = 0;
    explicit PdfPages(const QByteArray &pdf)
    {
        count = static_cast<int>(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"));
        const qsizetype box = pdf.indexOf("/MediaBox [");
        if (box >= 0) {
            const qsizetype end = pdf.indexOf(']', box);
            const QList<QByteArray> n = pdf.mid(box + 11, end - box - 11).split(' ');
            width = n.value(2).toDouble();
            height = n.value(3).toDouble();
        }
    }
};

TEST_F(FilesWindow, PrintsTheWindowStretchedOverOnePage)
{
    AnalyzerWindow w(0, "");
    for (const bool portrait : {true, false}) {
        CPrinter printer(*w.form);
        (portrait ? printer.Portrait : printer.Landscape)->setChecked(true);
        const QString pdf = Path(portrait ? "portrait.pdf" : "landscape.pdf");
        printer.Printer->setOutputFormat(QPrinter::PdfFormat);
        printer.Printer->setOutputFileName(pdf);
        ModalAnswerer answer([&](QWidget *dialog) {
            if (dialog == printer.Dialog)
                printer.PrintButton->click();
        });
        EXPECT_TRUE(printer.Execute());
        const QByteArray bytes = ReadAll(pdf);
        const PdfPages pages(bytes);
        EXPECT_EQ(pages.count, 1) << portrait;
        EXPECT_EQ(pages.width < pages.height, portrait)
            << bytes.mid(bytes.indexOf("/MediaBox"), 40).toStdString();
        EXPECT_TRUE(bytes.contains("/Subtype /Image"));
        EXPECT_GT(bytes.size(), 20000);
    }
    CPrinter plain(*w.form);
    EXPECT_TRUE(plain.Landscape->isChecked()); // the default
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        EXPECT_TRUE(plain.PrinterName->text().isEmpty());
    }
}

} // namespace
