#include "search/Tform_DataEdit.h"

#include "device/CFile.h"
#include "search/SearchModeBox.h"
#include "search/SearchValueEdit.h"
#include "search/SearchValueRules.h"
#include "ui/AppMessage.h"
#include "ui/UiText.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Q(const std::string &s)
{
    return QString::fromStdString(s);
}

} // namespace

Tform_DataEdit::Tform_DataEdit(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("form_DataEdit"));
    setWindowTitle(UiText::Get("DataSearch", "strDataEdit", "Data Edit"));
    setModal(true);
    body = new QWidget(this);
    tBtn_OK = new QPushButton(UiText::Get("Common", "strOKBtnCaption", "OK"), this);
    tBtn_OK->setObjectName(QStringLiteral("tBtn_OK"));
    tBtn_OK->setDefault(true);
    tBtn_Cancel = new QPushButton(UiText::Get("Common", "strCancelBtnCaption", "Cancel"), this);
    tBtn_Cancel->setObjectName(QStringLiteral("tBtn_Cancel"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(body);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(tBtn_OK);
    buttons->addWidget(tBtn_Cancel);
    layout->addLayout(buttons);
    connect(tBtn_OK, &QPushButton::clicked, this, &Tform_DataEdit::tBtn_OKClick);
    connect(tBtn_Cancel, &QPushButton::clicked, this, &Tform_DataEdit::tBtn_CancelClick);
}

void Tform_DataEdit::EditCondition(int editRow, const CFile &record, int channelCount)
{
    row = editRow;
    settings = &record;
    confirmed = 0;
    previousBase = 0;
    if (row >= 0 && row < channelCount) {
        BuildChannel();
    } else {
        const int bus = row - channelCount;
        width = bus >= 0 && bus < CFile::MaxChannels
                    ? SearchValueRules::BusWidth(record.BusEntry[static_cast<size_t>(bus)])
                    : 0;
        BuildBus();
    }
    exec();
}

void Tform_DataEdit::BuildChannel()
{
    LevelBox = new QComboBox(body);
    LevelBox->setObjectName(QStringLiteral("LevelBox"));
    LevelBox->addItems({QStringLiteral("0"), QStringLiteral("1"),
                        UiText::Get("DataSearch", "strFalling", "Falling"),
                        UiText::Get("DataSearch", "strRaising", "Raising"),
                        UiText::Get("DataSearch", "strActive", "Active")});
    LevelBox->setCurrentIndex(0);
    auto *layout = new QVBoxLayout(body);
    layout->addWidget(LevelBox);
    setFixedHeight(110);
}

void Tform_DataEdit::BuildBus()
{
    DataLabel = new QLabel(UiText::Get("DataSearch", "strData", "Data "), body);
    QFont bold = DataLabel->font();
    bold.setBold(true);
    bold.setPointSize(10);
    DataLabel->setFont(bold);
    DataEdit = new SearchValueEdit(body);
    DataEdit->setObjectName(QStringLiteral("DataEdit"));
    DataEdit->setFixedWidth(200);
    LimitText = new QLabel(QStringLiteral(" "), body);
    LimitText->setObjectName(QStringLiteral("LimitText"));
    ModeBox = new SearchModeBox(body);
    ModeBox->setTitle(UiText::Get("DataSearch", "strMode", "Mode"));
    ModeBox->setFixedWidth(200);
    auto *layout = new QVBoxLayout(body);
    layout->addWidget(DataLabel);
    layout->addWidget(DataEdit);
    layout->addWidget(LimitText);
    layout->addWidget(ModeBox);
    connect(ModeBox, &SearchModeBox::BaseClicked, this, &Tform_DataEdit::ModeClick);
    // The limit text stays blank until a base is chosen.
    DataEdit->SetBase(ModeBox->Base());
}

void Tform_DataEdit::ShowLimit()
{
    LimitText->setText(UiText::Get("DataSearch", "strMaxValue", "Maximum of data is ") +
                       Q(SearchValueRules::MaximumText(width, ModeBox->Base())));
}

void Tform_DataEdit::ModeClick(int newBase)
{
    // Text that is no number of the previous base stays as it is.
    const QString entered = DataEdit->text();
    const auto converted =
        SearchValueRules::Convert(entered.toStdString(), previousBase, newBase, width);
    DataEdit->SetBaseAndText(newBase, converted ? Q(*converted) : entered);
    ShowLimit();
    previousBase = newBase;
}

void Tform_DataEdit::tBtn_OKClick()
{
    if (LevelBox) {
        value = static_cast<int16_t>(LevelBox->currentIndex());
        text = LevelBox->currentText();
        base = ChannelBase;
        confirmed = 1;
        accept();
        return;
    }
    const QString entered = DataEdit->text();
    if (entered.isEmpty())
        return;
    const int b = ModeBox->Base();
    const SearchValueRules::Reading r = SearchValueRules::Read(entered.toStdString(), b, width);
    if (r.What == SearchValueRules::Verdict::OutOfLimit) {
        AppMessage::Warning(
            this, windowTitle(),
            UiText::Get("DataSearch", "strWarning3", "Out of limit.The maximum is") +
                Q(SearchValueRules::MaximumText(width, b)));
        return;
    }
    if (r.What != SearchValueRules::Verdict::Ok) {
        AppMessage::Warning(this, windowTitle(),
                            UiText::Get("DataSearch", "strWarning2", "Data format error"));
        return;
    }
    value = static_cast<int16_t>(r.Value);
    text = entered;
    base = b;
    confirmed = 1;
    accept();
}

void Tform_DataEdit::tBtn_CancelClick()
{
    confirmed = 0;
    reject();
}
