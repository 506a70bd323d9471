#include "files/TReport_form.h"

#include "files/AtomicFile.h"
#include "files/FileName.h"
#include "files/ReportTableModel.h"
#include "ui/AppMessage.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTime>
#include <QVBoxLayout>

TReport_form::Choice TReport_form::AskFile(QWidget *parent)
{
    const QString text = QStringLiteral("Text file(*.txt) (*.txt)");
    const QString csv = QStringLiteral("Comma-Separated Values(*.csv) (*.csv)");
    QString selected = text;
    const QString path = QFileDialog::getSaveFileName(parent, QString(), QString(),
                                                      text + QStringLiteral(";;") + csv, &selected,
                                                      QFileDialog::DontConfirmOverwrite);
    return Choice{path, selected == csv ? 2 : 1};
}

std::function<TReport_form::Choice(QWidget *)> TReport_form::ChooseFile = &TReport_form::AskFile;

TReport_form::TReport_form(QWidget *parent, std::unique_ptr<TextReport> r)
    : QDialog(parent)
    , report(std::move(r))
{
    setObjectName(QStringLiteral("Report_form"));
    setWindowTitle(QStringLiteral("Report"));

    Report_TesterEdit = new QLineEdit(this);
    Report_TesterEdit->setObjectName(QStringLiteral("Report_TesterEdit"));
    Report_Comment = new QPlainTextEdit(this);
    Report_Comment->setObjectName(QStringLiteral("Report_Comment"));
    Report_Comment->setFixedHeight(90);

    Report_Setting = new QGroupBox(QStringLiteral("Setting"), this);
    Report_Setting->setObjectName(QStringLiteral("Report_Setting"));
    Report_WithParameter = new QRadioButton(QStringLiteral("With parameter"), Report_Setting);
    Report_DataOnly = new QRadioButton(QStringLiteral("Data only"), Report_Setting);
    auto *settingLayout = new QVBoxLayout(Report_Setting);
    settingLayout->addWidget(Report_WithParameter);
    settingLayout->addWidget(Report_DataOnly);

    Report_Range = new QGroupBox(QStringLiteral("Range"), this);
    Report_Range->setObjectName(QStringLiteral("Report_Range"));
    Report_Box_From = new QComboBox(Report_Range);
    Report_Box_From->setObjectName(QStringLiteral("Report_Box_From"));
    Report_Box_To = new QComboBox(Report_Range);
    Report_Box_To->setObjectName(QStringLiteral("Report_Box_To"));
    auto *rangeLayout = new QFormLayout(Report_Range);
    rangeLayout->addRow(QStringLiteral("From"), Report_Box_From);
    rangeLayout->addRow(QStringLiteral("To"), Report_Box_To);

    Gauge = new QProgressBar(this);
    Gauge->setObjectName(QStringLiteral("Gauge"));
    Gauge->setFixedHeight(30);
    Gauge->setTextVisible(false);

    Report_Btn_OK = new QPushButton(QStringLiteral("OK"), this);
    Report_Btn_OK->setObjectName(QStringLiteral("Report_Btn_OK"));
    Report_Btn_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Report_Btn_Cancel->setObjectName(QStringLiteral("Report_Btn_Cancel"));

    preview = std::make_unique<ReportTableModel>(*report);
    Report_Preview = new QTableView(this);
    Report_Preview->setObjectName(QStringLiteral("Report_Preview"));
    Report_Preview->setModel(preview.get());
    Report_Preview->verticalHeader()->setDefaultSectionSize(20);
    Report_Preview->verticalHeader()->hide();
    Report_Preview->horizontalHeader()->setDefaultSectionSize(64);
    Report_Preview->horizontalHeader()->resizeSection(1, 84); // "Sample No."
    Report_Preview->setMinimumWidth(360);

    auto *options = new QVBoxLayout;
    options->addWidget(new QLabel(QStringLiteral("Tester"), this));
    options->addWidget(Report_TesterEdit);
    options->addWidget(new QLabel(QStringLiteral("Comments"), this));
    options->addWidget(Report_Comment);
    options->addWidget(Report_Setting);
    options->addWidget(Report_Range);
    options->addWidget(Gauge);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Report_Btn_OK);
    buttons->addWidget(Report_Btn_Cancel);
    options->addLayout(buttons);
    options->addStretch(1);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(options);
    layout->addWidget(Report_Preview, 1);
    resize(720, 440);

    connect(Report_Btn_OK, &QPushButton::clicked, this, &TReport_form::Report_Btn_OKClick);
    connect(Report_Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Report_Box_From, &QComboBox::currentIndexChanged, this, [this] { RangeChanged(); });
    connect(Report_Box_To, &QComboBox::currentIndexChanged, this, [this] { RangeChanged(); });
}

TReport_form::~TReport_form()
{
    // The view lets go of the model before the model goes.
    Report_Preview->setModel(nullptr);
}

bool TReport_form::Open()
{
    const Choice choice = ChooseFile(parentWidget());
    if (choice.path.isEmpty())
        return false;
    Filter = choice.filter;
    FileName = choice.path;
    if (QFileInfo(FileName).suffix().isEmpty())
        FileName += Filter == 2 ? QStringLiteral(".csv") : QStringLiteral(".txt");

    Report_Range->setEnabled(true);
    Report_WithParameter->setChecked(true);
    QStringList choices;
    for (const std::string &c : report->RangeChoices())
        choices << QString::fromStdString(c);
    for (QComboBox *box : {Report_Box_From, Report_Box_To}) {
        const QSignalBlocker quiet(box);
        box->clear();
        box->addItems(choices);
    }
    Report_Box_From->setCurrentIndex(0); // Start
    Report_Box_To->setCurrentIndex(1);   // End
    RangeChanged();
    Gauge->setValue(0);
    written = false;
    exec();
    return written;
}

TextReport::Options TReport_form::CurrentOptions() const
{
    TextReport::Options o;
    o.Kind = Filter == 2 ? TextReport::Format::Csv : TextReport::Format::Text;
    o.WithParameters = Report_WithParameter->isChecked();
    o.FileName = std::string(FileName::WithoutFolder(FileName.toStdString()));
    o.Date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
    o.Time = QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat).toStdString();
    o.Tester = Report_TesterEdit->text().toStdString();
    o.Comments = Report_Comment->toPlainText().toStdString();
    o.From = Report_Box_From->currentText().toStdString();
    o.To = Report_Box_To->currentText().toStdString();
    return o;
}

void TReport_form::RangeChanged()
{
    preview->SetRange(CurrentOptions());
}

void TReport_form::Report_Btn_OKClick()
{
    Report_Btn_OK->setEnabled(false);
    Report_Btn_Cancel->setEnabled(false);
    const std::string text = report->Text(CurrentOptions(), [this](int64_t done, int64_t total) {
        Gauge->setMaximum(static_cast<int>(std::min<int64_t>(total, INT32_MAX)));
        Gauge->setValue(static_cast<int>(std::min<int64_t>(done, INT32_MAX)));
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    written = AtomicFile::Write(QFile::encodeName(FileName).toStdString(), text);
    if (!written)
        AppMessage::Error(this, windowTitle(),
                          QStringLiteral("The report could not be written:\n") + FileName);
    Report_Btn_OK->setEnabled(true);
    Report_Btn_Cancel->setEnabled(true);
    accept();
}
