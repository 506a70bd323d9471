#include "files/FileSys.h"

#include "device/AFile.h"
#include "device/CEzUsb.h"
#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "display/WTimePicoseconds.h"
#include "files/CIniFile.h"
#include "files/DeviceTransfer.h"
#include "files/FileName.h"
#include "files/FileSysHost.h"
#include "files/PictureFile.h"
#include "files/ProjectFile.h"
#include "files/SampleTrace.h"
#include "files/SigrokSession.h"
#include "files/VcdReader.h"
#include "ui/AppMessage.h"
#include "ui/UiText.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

#include <chrono>
#include <thread>

FileSys::Choice FileSys::AskFile(QWidget *parent, bool save, const QString &filter)
{
    QString selected;
    const QString path =
        save ? QFileDialog::getSaveFileName(parent, QString(), QString(), filter, &selected,
                                            QFileDialog::DontConfirmOverwrite)
             : QFileDialog::getOpenFileName(parent, QString(), QString(), filter, &selected);
    const int index = static_cast<int>(filter.split(QStringLiteral(";;")).indexOf(selected));
    return Choice{path, index < 0 ? 1 : index + 1};
}

std::function<FileSys::Choice(QWidget *, bool, const QString &)> FileSys::ChooseFile =
    &FileSys::AskFile;

std::function<void(int)> FileSys::Wait = [](int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
};

namespace {

const QString ProjectFilter = QStringLiteral("Project File(.pjf) (*.pjf)");
const QString SessionFilter = QStringLiteral("sigrok session(.sr) (*.sr)");
const QString OpenFilter =
    ProjectFilter + QStringLiteral(";;Value Change Dump(.vcd) (*.vcd);;") + SessionFilter;
const QString SaveFilter = ProjectFilter + QStringLiteral(";;") + SessionFilter;
const QString PictureFilter = QStringLiteral("BitMap(.bmp) (*.bmp);;Jpeg(.jpg) (*.jpg)");

std::string Local(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

FileSys::FileSys(FileSysHost &fileHost)
    : host(fileHost)
    , main(fileHost.Window())
{
    strOverWrite = UiText::Get("FileSystem", "strOverWrite", "Overwrite?");
    strFileWarning1 = UiText::Get("FileSystem", "strFileWarning1",
                                  "The file has already existed.Are you sure overwrite this file?");
    strFileWarning2 = UiText::Get("FileSystem", "strFileWarning2",
                                  "Are you sure you want to overwrite the settings?");
    strFileWarning3 =
        UiText::Get("FileSystem", "strFileWarning3", "Can't not get data from device.");
    strFileWarning4 = UiText::Get("FileSystem", "strFileWarning4", "Tracemoor is busy.");
    strFileWarning5 = UiText::Get("FileSystem", "strFileWarning5", "Tracemoor is not linking.");
    strFileWarning6 =
        UiText::Get("FileSystem", "strFileWarning6", "Can't not get data from device.");
    strFileWarning7 = UiText::Get("FileSystem", "strFileWarning7", "Data import succeed.");
    strFileWarning8 = UiText::Get("FileSystem", "strFileWarning8", "Can't not export to device.");
    strFileWarning9 = UiText::Get("FileSystem", "strFileWarning9", "Data export succeed.");
    strFileWarning10 =
        UiText::Get("FileSystem", "strFileWarning10", "This is not a valid project file.");
    strFileWarning11 =
        UiText::Get("FileSystem", "strFileWarning11",
                    "The file could not be written; an older file of that name is unchanged.");

    // The capture window: 250 x 170, centred on the main window.
    CaptureForm = new QDialog(&main, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    CaptureForm->setObjectName(QStringLiteral("CaptureForm"));
    CaptureForm->setWindowTitle(UiText::Get("Capture", "strCap_Capture", "Capture"));
    CaptureForm->setFixedSize(250, 170);
    CaptureButton =
        new QPushButton(UiText::Get("Capture", "strCap_Capture", "Capture"), CaptureForm);
    CaptureButton->setObjectName(QStringLiteral("CaptureButton"));
    CaptureButton->setGeometry(10, 30, 60, 25);
    CancelButton =
        new QPushButton(UiText::Get("Common", "strCancelBtnCaption", "Cancel"), CaptureForm);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(10, 65, 60, 25);
    CommentLabel = new QLabel(UiText::Get("Capture", "strCap_Comment", "Comments"), CaptureForm);
    CommentLabel->setGeometry(80, 10, 140, 16);
    CommentMemo = new QPlainTextEdit(CaptureForm);
    CommentMemo->setObjectName(QStringLiteral("CommentMemo"));
    CommentMemo->setGeometry(80, 30, 140, 100);
    QObject::connect(CancelButton, &QPushButton::clicked, CaptureForm, &QDialog::reject);
    QObject::connect(CaptureButton, &QPushButton::clicked, CaptureForm,
                     [this] { CaptureButtonClick(); });
}

FileSys::~FileSys()
{
    delete CaptureForm;
}

void FileSys::RememberLastFile(const QString &path)
{
    CIniFile(host.SystemIniPath())
        .WriteString("History", "LastFile", Local(QFileInfo(path).absoluteFilePath()));
}

bool FileSys::Save()
{
    CFile &record = host.Settings();
    if (record.ModelCode == 9 || record.ModelCode == 10)
        host.RunImage().ReadTriggerReply(record);
    const Choice choice = ChooseFile(&main, true, SaveFilter);
    if (choice.path.isEmpty())
        return false;
    if (choice.filter == 2 || SigrokSession::IsSessionName(Local(choice.path)))
        return SaveSession(choice.path);
    // A project holds the model's memory; an import longer than it is saved
    // as a session instead.
    if (host.System().HoldsImport()) {
        AppMessage::Error(&main, main.windowTitle(),
                          QStringLiteral("The capture is longer than the model's memory and does "
                                         "not fit a project file; save it as a sigrok "
                                         "session (.sr)."));
        return false;
    }
    const QString path =
        QString::fromStdString(ProjectFile::WithExtension(choice.path.toStdString()));
    if (QFileInfo::exists(path) && !AppMessage::YesNo(&main, strOverWrite, strFileWarning1))
        return false;
    const ProjectFile::Error error = ProjectFile::Save(Local(path), record, host.System());
    if (error != ProjectFile::Error::None) {
        AppMessage::Error(&main, main.windowTitle(),
                          strFileWarning11 + QStringLiteral("\n") + path);
        return false;
    }
    RememberLastFile(path);
    return true;
}

bool FileSys::Load()
{
    const Choice choice = ChooseFile(&main, false, OpenFilter);
    if (choice.path.isEmpty())
        return false;
    if (!AppMessage::YesNo(&main, strOverWrite, strFileWarning2))
        return false;
    if (VcdReader::IsVcdName(Local(choice.path)) ||
        SigrokSession::IsSessionName(Local(choice.path)))
        return LoadVcd(choice.path);
    // Checked whole before anything changes: a bad file leaves everything.
    ProjectFile::Contents contents;
    if (ProjectFile::Read(Local(choice.path), contents) != ProjectFile::Error::None) {
        AppMessage::Error(&main, main.windowTitle(),
                          strFileWarning10 + QStringLiteral("\n") + choice.path);
        return false;
    }
    ProjectFile::Apply(std::move(contents), host.Settings(), host.System());
    RememberLastFile(choice.path);
    return true;
}

bool FileSys::LoadVcd(const QString &path)
{
    VcdReader::Result vcd = SigrokSession::IsSessionName(Local(path))
                                ? SigrokSession::Read(Local(path))
                                : VcdReader::Read(Local(path));
    if (!vcd.Error.empty()) {
        AppMessage::Error(&main, main.windowTitle(),
                          QString::fromStdString(vcd.Error) + QStringLiteral("\n") + path);
        return false;
    }
    ProjectFile::Apply(std::move(vcd.Contents), host.Settings(), host.System());
    // The spacing goes to the status bar; what was cut or left out is told.
    LoadNote = QString::fromStdString(vcd.SpacingNote);
    QStringList told;
    for (const std::string &note : vcd.Notes)
        if (note != vcd.SpacingNote)
            told << QString::fromStdString(note);
    if (!told.isEmpty())
        AppMessage::Warning(&main, main.windowTitle(), told.join(QStringLiteral("\n")));
    // Not remembered as the last project: the start-up offer reads projects.
    return true;
}

bool FileSys::SaveSession(const QString &chosen)
{
    QString path = chosen;
    if (!SigrokSession::IsSessionName(Local(path)))
        path += QString::fromLatin1(SigrokSession::Extension.data(),
                                    static_cast<qsizetype>(SigrokSession::Extension.size()));
    if (QFileInfo::exists(path) && !AppMessage::YesNo(&main, strOverWrite, strFileWarning1))
        return false;
    // The record's samples with the signal list, as the command line's
    // export writes them.
    const SampleTrace trace =
        SampleTrace::OfRecord(host.Record(), host.System(), host.Settings(),
                              WTimePicoseconds::Of(host.SamplePeriod()), false);
    if (!SigrokSession::Write(Local(path), trace)) {
        AppMessage::Error(&main, main.windowTitle(),
                          strFileWarning11 + QStringLiteral("\n") + path);
        return false;
    }
    return true;
}

QImage FileSys::Picture(QWidget &window, const QStringList &comments)
{
    // Rendered, not grabbed from the screen: whatever covers the window
    // (or a screen that cannot be read, as under Wayland) does not matter.
    QImage image = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPointSize(PictureFile::CommentPointSize);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    for (int i = 0; i < comments.size(); ++i) {
        const QRect box(PictureFile::CommentX, PictureFile::CommentY(i),
                        metrics.horizontalAdvance(comments[i]), metrics.height());
        painter.fillRect(box, Qt::black);
        painter.setPen(Qt::white);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, comments[i]);
    }
    return image;
}

void FileSys::CaptureWindowShow()
{
    CaptureForm->move(main.geometry().center() - CaptureForm->rect().center());
    CaptureForm->exec();
}

void FileSys::CaptureButtonClick()
{
    // The main window renders itself into the picture, so the capture window
    // need not step aside for it.
    const QImage image = Picture(main, CommentMemo->toPlainText().split(QLatin1Char('\n')));
    const Choice choice = ChooseFile(&main, true, PictureFilter);
    if (!choice.path.isEmpty()) {
        const bool jpeg = choice.filter == 2;
        const std::string path =
            FileName::WithExtension(Local(choice.path), jpeg ? ".jpg" : ".bmp");
        const PictureFile::Picture picture{
            std::span(reinterpret_cast<const uint32_t *>(image.constBits()),
                      static_cast<size_t>(image.sizeInBytes()) / 4),
            image.width(), image.height(), static_cast<int>(image.bytesPerLine() / 4)};
        if (!PictureFile::Save(path, jpeg ? PictureFile::Kind::Jpeg : PictureFile::Kind::Bmp,
                               picture))
            AppMessage::Error(&main, main.windowTitle(),
                              strFileWarning11 + QStringLiteral("\n") +
                                  QFile::decodeName(path.c_str()));
    }
    CaptureForm->accept();
}

bool FileSys::Tell(const DeviceTransfer::Result &r, const QString &failed)
{
    using Outcome = DeviceTransfer::Outcome;
    const QString caption = main.windowTitle();
    switch (r.outcome) {
    case Outcome::Imported:
        AppMessage::Information(&main, caption, strFileWarning7);
        return true;
    case Outcome::Exported:
        AppMessage::Information(&main, caption, strFileWarning9);
        return true;
    case Outcome::StatusRefused:
        host.ReportStatus(r.status);
        break;
    case Outcome::NotSupported:
        AppMessage::Warning(&main, caption,
                            UiText::FromUtf8(host.Text(WSysLanguage::strNoSupport)));
        break;
    case Outcome::WrongModel:
        host.ModelMismatch();
        break;
    case Outcome::Busy:
        AppMessage::Warning(&main, caption, strFileWarning4);
        break;
    case Outcome::NotLinking:
        AppMessage::Warning(&main, caption, strFileWarning5);
        break;
    case Outcome::BlockRefused:
        AppMessage::Warning(&main, caption, strFileWarning6);
        break;
    default:
        AppMessage::Warning(&main, caption, failed);
        break;
    }
    return false;
}

bool FileSys::Import()
{
    CEzUsb *channel = host.CommandChannel();
    if (channel == nullptr) {
        AppMessage::Warning(&main, main.windowTitle(), strFileWarning3);
        return false;
    }
    DeviceTransfer transfer(*channel, Wait);
    return Tell(transfer.Import(host.Settings(), host.System()), strFileWarning3);
}

void FileSys::Export()
{
    CEzUsb *channel = host.CommandChannel();
    if (channel == nullptr) {
        AppMessage::Warning(&main, main.windowTitle(), strFileWarning8);
        return;
    }
    // The record's trigger-position words as the view has them now.
    host.PrepareDelay();
    DeviceTransfer transfer(*channel, Wait);
    Tell(transfer.Export(host.Settings(), host.System()), strFileWarning8);
}
