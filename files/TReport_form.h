#pragma once

#include "files/TextReport.h"

#include <QDialog>

#include <functional>
#include <memory>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableView;
class ReportTableModel;

// "Report": writes the capture as a text report (TextReport) to the file
// chosen first. Its texts are fixed English. Beside the options it previews
// the data rows of the chosen range in a table.
class TReport_form : public QDialog
{
    Q_OBJECT

public:
    // The save dialog; returns the name and the filter (1 text, 2
    // comma-separated), an empty name on cancel. Tests replace it.
    struct Choice
    {
        QString path;
        int filter = 1;
    };
    static std::function<Choice(QWidget *parent)> ChooseFile;
    // The default of ChooseFile: the platform's save dialog, which asks no
    // overwrite question (the report replaces its file).
    static Choice AskFile(QWidget *parent);

    TReport_form(QWidget *parent, std::unique_ptr<TextReport> report);
    ~TReport_form() override;

    // The save dialog, then (unless cancelled) the dialog itself, modally.
    // True when a report was written.
    bool Open();

    QLineEdit *Report_TesterEdit = nullptr;
    QPlainTextEdit *Report_Comment = nullptr;
    QGroupBox *Report_Setting = nullptr;
    QRadioButton *Report_WithParameter = nullptr;
    QRadioButton *Report_DataOnly = nullptr;
    QGroupBox *Report_Range = nullptr;
    QComboBox *Report_Box_From = nullptr;
    QComboBox *Report_Box_To = nullptr;
    QPushButton *Report_Btn_OK = nullptr;
    QPushButton *Report_Btn_Cancel = nullptr;
    QProgressBar *Gauge = nullptr;
    QTableView *Report_Preview = nullptr;

    // The file name and filter chosen in the save dialog.
    QString FileName;
    int Filter = 1;

public slots:
    void Report_Btn_OKClick();

private:
    TextReport::Options CurrentOptions() const;
    void RangeChanged();

    std::unique_ptr<TextReport> report;
    std::unique_ptr<ReportTableModel> preview;
    bool written = false;
};
