#pragma once

#include "files/DeviceTransfer.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

class FileSysHost;
class QDialog;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

// The file commands of the main window for one use: project Save and Load,
// the "Capture" window that saves a picture of the main window with typed
// comments, and Import and Export of the instrument's settings and sample
// memory. The main window creates one per command over its FileSysHost; its
// language texts and its capture window are built by the constructor and
// freed with it.
class FileSys
{
public:
    // A file chosen in an open or save dialog; an empty path means cancel.
    // `filter` is the 1-based index of the chosen filter.
    struct Choice
    {
        QString path;
        int filter = 1;
    };
    // The open (save = false) and save dialogs; tests replace it. Its
    // default is AskFile.
    static std::function<Choice(QWidget *parent, bool save, const QString &filter)> ChooseFile;
    // The platform's dialogs. A save dialog asks no overwrite question of its
    // own: Save asks the program's "Overwrite?", a picture replaces its file.
    static Choice AskFile(QWidget *parent, bool save, const QString &filter);
    // The pauses between the instrument requests of Import and Export (10 and
    // 50 ms); tests replace it.
    static std::function<void(int ms)> Wait;

    explicit FileSys(FileSysHost &host);
    ~FileSys();
    FileSys(const FileSys &) = delete;
    FileSys &operator=(const FileSys &) = delete;

    // True when a project file was written.
    bool Save();
    // True when a project file or a Value Change Dump was loaded into the
    // record, model and samples (the main window then reapplies the whole
    // record and shows LoadNote).
    bool Load();
    // The capture window, modal.
    void CaptureWindowShow();
    // True when the record and samples were replaced from the instrument.
    bool Import();
    void Export();

    // The main window rendered into an image with the comment lines drawn
    // on it, white on black, 12 point, line i at (10, 10 + 20 i).
    static QImage Picture(QWidget &window, const QStringList &comments);

    QDialog *CaptureForm = nullptr;
    QPushButton *CaptureButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QLabel *CommentLabel = nullptr;
    QPlainTextEdit *CommentMemo = nullptr;
    // After Load of a dump whose spacing is no sample period: what was done.
    QString LoadNote;

private:
    void CaptureButtonClick();
    bool LoadVcd(const QString &path); // a dump or a sigrok session
    bool SaveSession(const QString &path);
    // The message of an import or export; true when it succeeded.
    bool Tell(const DeviceTransfer::Result &result, const QString &failed);
    // Records the path in System.ini as the last project file.
    void RememberLastFile(const QString &path);

    FileSysHost &host;
    QWidget &main;
    QString strOverWrite, strFileWarning1, strFileWarning2, strFileWarning3, strFileWarning4,
        strFileWarning5, strFileWarning6, strFileWarning7, strFileWarning8, strFileWarning9,
        strFileWarning10, strFileWarning11;
};
