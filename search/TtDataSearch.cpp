#include "search/TtDataSearch.h"

#include "device/CFile.h"
#include "search/SearchModeBox.h"
#include "search/SearchValueEdit.h"
#include "search/SearchValueRules.h"
#include "search/Tform_DataEdit.h"
#include "ui/AppMessage.h"
#include "ui/UiText.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Q(const std::string &s)
{
    return QString::fromStdString(s);
}

QPushButton *Button(QWidget *parent, const char *name, const char *caption)
{
    auto *b = new QPushButton(QLatin1String(caption), parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

TtDataSearch::TtDataSearch(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("tDataSearch"));
    setWindowTitle(QStringLiteral("DataSearch"));
    setModal(true);

    ptLabel_Channel = new QLabel(QStringLiteral("Channel"), this);
    ptLabel_Name = new QLabel(QStringLiteral("Value"), this);
    ptLabel_Data = new QLabel(QStringLiteral("Data :"), this);
    tChannelBox = new QComboBox(this);
    tChannelBox->setObjectName(QStringLiteral("tChannelBox"));
    tChannelBox->setMinimumWidth(160);
    tLevelBox = new QComboBox(this);
    tLevelBox->setObjectName(QStringLiteral("tLevelBox"));
    tLevelBox->addItems({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("Falling"),
                         QStringLiteral("Raising"), QStringLiteral("Active")});
    tEdit_Data = new SearchValueEdit(this);
    tEdit_Data->setObjectName(QStringLiteral("tEdit_Data"));
    tEdit_Data->setText(QStringLiteral("0"));
    ptValueLimit = new QLabel(this);
    ptValueLimit->setObjectName(QStringLiteral("ptValueLimit"));
    tSearchMode = new SearchModeBox(this);
    tSearchMode->setObjectName(QStringLiteral("tSearchMode"));
    tDataGrid = new QTableWidget(1, 3, this);
    tDataGrid->setObjectName(QStringLiteral("tDataGrid"));
    tDataGrid->setColumnWidth(0, FirstColumnWidth);
    tDataGrid->setColumnWidth(1, 93);
    tDataGrid->setColumnWidth(2, LastColumnWidth);
    tDataGrid->verticalHeader()->hide();
    tDataGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tDataGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    tDataGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    tDataGrid->setMinimumSize(300, 180);
    tBtn_Add = Button(this, "tBtn_Add", "Add");
    tBtn_Delete = Button(this, "tBtn_Delete", "Delete");
    tBtn_Clear = Button(this, "tBtn_Clear", "Clear All");
    tBtn_OK = Button(this, "tBtn_OK", "OK");
    tBtn_Cancel = Button(this, "tBtn_Cancel", "Cancel");

    auto *entry = new QGridLayout;
    entry->addWidget(ptLabel_Channel, 0, 0);
    entry->addWidget(tChannelBox, 1, 0);
    entry->addWidget(ptLabel_Name, 0, 1);
    entry->addWidget(tLevelBox, 1, 1);
    entry->addWidget(ptLabel_Data, 2, 0);
    entry->addWidget(tEdit_Data, 3, 0);
    entry->addWidget(ptValueLimit, 3, 1);
    entry->addWidget(tSearchMode, 4, 0, 1, 2);
    auto *edits = new QVBoxLayout;
    edits->addWidget(tBtn_Add);
    edits->addWidget(tBtn_Delete);
    edits->addWidget(tBtn_Clear);
    edits->addStretch(1);
    auto *list = new QHBoxLayout;
    list->addWidget(tDataGrid, 1);
    list->addLayout(edits);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(tBtn_OK);
    buttons->addWidget(tBtn_Cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(entry);
    layout->addLayout(list);
    layout->addLayout(buttons);

    connect(tChannelBox, &QComboBox::activated, this, &TtDataSearch::tChannelBoxChange);
    connect(tSearchMode, &SearchModeBox::BaseClicked, this, &TtDataSearch::tSearchModeClick);
    connect(tBtn_Add, &QPushButton::clicked, this, &TtDataSearch::tBtn_AddClick);
    connect(tBtn_Delete, &QPushButton::clicked, this, &TtDataSearch::tBtn_DeleteClick);
    connect(tBtn_Clear, &QPushButton::clicked, this, &TtDataSearch::tBtn_ClearClick);
    connect(tBtn_OK, &QPushButton::clicked, this, &TtDataSearch::tBtn_OKClick);
    connect(tBtn_Cancel, &QPushButton::clicked, this, &TtDataSearch::tBtn_CancelClick);
    connect(tDataGrid, &QTableWidget::cellDoubleClicked, this,
            [this](int r, int) { tDataGridDblClick(r); });
}

void TtDataSearch::OpenDialog(const CFile &record, int channelCount)
{
    settings = &record;
    channels = std::clamp(channelCount, 1, CFile::MaxChannels);
    effective.clear();
    exec();
}

void TtDataSearch::LoadTexts()
{
    setWindowTitle(UiText::Get("DataSearch", "strDataSearch", "DataSearch"));
    ptLabel_Channel->setText(UiText::Get("DataSearch", "strChannel", "Channel"));
    ptLabel_Name->setText(UiText::Get("DataSearch", "strName", "Name"));
    const QString dataText = UiText::Get("DataSearch", "strGridCell2_0", "Data");
    ptLabel_Data->setText(dataText);
    tDataGrid->setHorizontalHeaderLabels(
        {UiText::Get("DataSearch", "strGridCell0_0", "Channel/Bus"),
         UiText::Get("DataSearch", "strGridCell1_0", "Name"), dataText});
    FitFirstColumn();
    tLevelBox->setItemText(2, UiText::Get("DataSearch", "strFalling", "Falling"));
    tLevelBox->setItemText(3, UiText::Get("DataSearch", "strRaising", "Raising"));
    tLevelBox->setItemText(4, UiText::Get("DataSearch", "strActive", "Active"));
    tBtn_Add->setText(UiText::Get("Common", "strAddBtnCaption", "Add"));
    tBtn_Delete->setText(UiText::Get("Common", "strDeleteBtnCaption", "Delete"));
    tBtn_Clear->setText(UiText::Get("Common", "strClearAllCaption", "Clear All"));
    tBtn_OK->setText(UiText::Get("Common", "strOKBtnCaption", "OK"));
    tBtn_Cancel->setText(UiText::Get("Common", "strCancelBtnCaption", "Cancel"));
}

// The grid keeps its width: when the first header needs more than the first
// column's 76 pixels in the font on screen, the last column gives them up.
void TtDataSearch::FitFirstColumn()
{
    QHeaderView *header = tDataGrid->horizontalHeader();
    const QString text = tDataGrid->horizontalHeaderItem(0)->text();
    const int need = header->fontMetrics().horizontalAdvance(text) +
                     2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin) + 4;
    const int first = std::max(FirstColumnWidth, need);
    tDataGrid->setColumnWidth(0, first);
    tDataGrid->setColumnWidth(
        2, std::max(LastColumnMinimum, LastColumnWidth - (first - FirstColumnWidth)));
}

void TtDataSearch::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

QString TtDataSearch::RowLabel(uint32_t row) const
{
    return IsChannel(row) ? QStringLiteral("CH%1").arg(row)
                          : QStringLiteral("Bus%1").arg(row - static_cast<uint32_t>(channels));
}

QString TtDataSearch::RowName(uint32_t row) const
{
    if (!settings || row >= 2 * static_cast<uint32_t>(channels))
        return {};
    const SignalEntry &e =
        IsChannel(row) ? settings->ChannelEntry[row] : settings->BusEntry[row - channels];
    const std::string_view name = CFile::NameText(e);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

int TtDataSearch::WidthOf(uint32_t row) const
{
    if (!settings || IsChannel(row) || row >= 2 * static_cast<uint32_t>(channels))
        return 0;
    return SearchValueRules::BusWidth(settings->BusEntry[row - channels]);
}

QString TtDataSearch::LevelText(uint16_t code) const
{
    if (code <= 1)
        return QString::number(code);
    return code < tLevelBox->count() ? tLevelBox->itemText(code) : QString();
}

void TtDataSearch::SetGridRow(int gridRow, uint32_t row, const QString &cell)
{
    if (gridRow >= tDataGrid->rowCount())
        tDataGrid->setRowCount(gridRow + 1);
    const QString cells[] = {RowLabel(row), RowName(row), cell};
    for (int c = 0; c < 3; ++c)
        tDataGrid->setItem(gridRow, c, new QTableWidgetItem(cells[c]));
}

void TtDataSearch::EndWithEmptyRow()
{
    tDataGrid->setRowCount(static_cast<int>(working.size()) + 1);
    for (int c = 0; c < 3; ++c)
        tDataGrid->setItem(static_cast<int>(working.size()), c, new QTableWidgetItem);
}

void TtDataSearch::FormShow()
{
    LoadTexts();
    // The rows of the signal list: channels first, then buses.
    tChannelBox->clear();
    channelBoxRows.clear();
    if (settings) {
        const auto rows = static_cast<uint32_t>(2 * channels);
        std::vector<uint32_t> listed;
        for (int i = 0; i < channels && settings->DisplayOrder[static_cast<size_t>(i)] < rows; ++i)
            listed.push_back(settings->DisplayOrder[static_cast<size_t>(i)]);
        std::stable_partition(listed.begin(), listed.end(),
                              [this](uint32_t r) { return IsChannel(r); });
        for (uint32_t r : listed) {
            tChannelBox->addItem(RowLabel(r) + QStringLiteral(" -- ") + RowName(r));
            channelBoxRows.push_back(r);
        }
    }
    tChannelBox->setCurrentIndex(tChannelBox->count() > 0 ? 0 : -1);
    tLevelBox->setCurrentIndex(0);
    tSearchMode->SetBase(0);
    tEdit_Data->SetBaseAndText(0, QString());
    previousBase = 0;
    ptValueLimit->clear();
    const bool bus = !channelBoxRows.empty() && !IsChannel(channelBoxRows[0]);
    tLevelBox->setEnabled(!bus);
    tEdit_Data->setEnabled(bus);
    tSearchMode->setEnabled(bus);

    // The saved list, unless it was made on a model with another channel
    // count; without conditions on rows this model lacks.
    if (listChannels != channels) {
        saved.clear();
        haveSaved = false;
    }
    working.clear();
    for (const SearchCondition &c : saved)
        if (c.Row < static_cast<uint32_t>(2 * channels))
            working.push_back(c);
    tDataGrid->setRowCount(0);
    for (size_t i = 0; i < working.size(); ++i) {
        const SearchCondition &c = working[i];
        SetGridRow(static_cast<int>(i), c.Row,
                   IsChannel(c.Row)
                       ? LevelText(c.Code)
                       : Q(SearchValueRules::BusCellText(c.Code, c.Mode, WidthOf(c.Row))));
    }
    EndWithEmptyRow();
}

void TtDataSearch::ShowLimit()
{
    const int i = tChannelBox->currentIndex();
    if (i < 0 || IsChannel(channelBoxRows[static_cast<size_t>(i)])) {
        ptValueLimit->clear();
        return;
    }
    ptValueLimit->setText(
        UiText::Get("DataSearch", "strValueMax", "Maximum of data is ") +
        Q(SearchValueRules::MaximumText(WidthOf(channelBoxRows[static_cast<size_t>(i)]),
                                        tSearchMode->Base())));
}

void TtDataSearch::tChannelBoxChange()
{
    const int i = tChannelBox->currentIndex();
    if (i < 0)
        return;
    const bool bus = !IsChannel(channelBoxRows[static_cast<size_t>(i)]);
    tLevelBox->setEnabled(!bus);
    tEdit_Data->setEnabled(bus);
    tSearchMode->setEnabled(bus);
    if (bus) {
        tEdit_Data->setText(QStringLiteral("0"));
        tEdit_Data->SetBase(tSearchMode->Base());
    } else {
        tLevelBox->setCurrentIndex(0);
        tEdit_Data->clear();
    }
    ShowLimit();
}

void TtDataSearch::tSearchModeClick(int base)
{
    const int i = tChannelBox->currentIndex();
    const int width = i < 0 ? 0 : WidthOf(channelBoxRows[static_cast<size_t>(i)]);
    // Converted before the new base's length applies, so that no digit of
    // the value is cut; a text that is no number of the previous base stays
    // as it is.
    QString text = tEdit_Data->text();
    if (!text.isEmpty())
        if (const auto converted =
                SearchValueRules::Convert(text.toStdString(), previousBase, base, width))
            text = Q(*converted);
    tEdit_Data->SetBaseAndText(base, text);
    ShowLimit();
    previousBase = base;
}

void TtDataSearch::tBtn_AddClick()
{
    const int i = tChannelBox->currentIndex();
    if (i < 0 || working.size() >= MaxConditions)
        return;
    const uint32_t row = channelBoxRows[static_cast<size_t>(i)];
    if (std::any_of(working.begin(), working.end(),
                    [row](const SearchCondition &c) { return c.Row == row; }))
        return;
    SearchCondition c;
    c.Row = row;
    QString cell;
    if (IsChannel(row)) {
        c.Code = static_cast<uint16_t>(std::max(tLevelBox->currentIndex(), 0));
        cell = tLevelBox->currentText();
    } else {
        const QString text = tEdit_Data->text();
        const int base = tSearchMode->Base();
        const int width = WidthOf(row);
        const auto r = SearchValueRules::Read(text.toStdString(), base, width);
        switch (r.What) {
        case SearchValueRules::Verdict::Empty:
            AppMessage::Warning(
                this, windowTitle(),
                UiText::Get("DataSearch", "strWarning1", "Warning! Need a value for search."));
            return;
        case SearchValueRules::Verdict::OutOfLimit:
            AppMessage::Warning(
                this, windowTitle(),
                UiText::Get("DataSearch", "strWarning3", "Out of limit.The maximum is") +
                    Q(SearchValueRules::MaximumText(width, base)));
            return;
        case SearchValueRules::Verdict::FormatError:
            AppMessage::Warning(this, windowTitle(),
                                UiText::Get("DataSearch", "strWarning2", "Data format error."));
            return;
        case SearchValueRules::Verdict::Ok:
            break;
        }
        c.Code = r.Value;
        c.Mode = base;
        cell = Q(SearchValueRules::EnteredText(text.toStdString(), base));
    }
    working.push_back(c);
    SetGridRow(static_cast<int>(working.size()) - 1, row, cell);
    EndWithEmptyRow();
}

void TtDataSearch::tBtn_DeleteClick()
{
    const int r = tDataGrid->currentRow();
    if (r < 0 || static_cast<size_t>(r) >= working.size())
        return;
    working.erase(working.begin() + r);
    tDataGrid->removeRow(r);
}

void TtDataSearch::tBtn_ClearClick()
{
    working.clear();
    tDataGrid->setRowCount(0);
    EndWithEmptyRow();
}

void TtDataSearch::tDataGridDblClick(int gridRow)
{
    if (!settings || gridRow < 0 || static_cast<size_t>(gridRow) >= working.size())
        return;
    SearchCondition &c = working[static_cast<size_t>(gridRow)];
    Tform_DataEdit edit(this);
    edit.EditCondition(static_cast<int>(c.Row), *settings, channels);
    if (!edit.confirmed)
        return;
    c.Code = static_cast<uint16_t>(edit.value);
    c.Mode = edit.base;
    // A bus base chosen there becomes the dialog's base, as if clicked: the
    // value box's text, key filter and length, the limit and the previous
    // base follow it.
    tSearchMode->SetBase(edit.base);
    if (edit.base >= SearchCondition::Hexadecimal && edit.base <= SearchCondition::Binary &&
        edit.base != previousBase)
        tSearchModeClick(edit.base);
    tDataGrid->item(gridRow, 2)
        ->setText(Q(SearchValueRules::EnteredText(edit.text.toStdString(), edit.base)));
}

void TtDataSearch::tBtn_OKClick()
{
    effective = working;
    saved = working;
    haveSaved = true;
    listChannels = channels;
    accept();
}

void TtDataSearch::tBtn_CancelClick()
{
    reject();
}

void TtDataSearch::reject()
{
    if (haveSaved)
        effective = saved;
    QDialog::reject();
}
