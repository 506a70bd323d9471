#pragma once

#include "search/SearchCondition.h"

#include <QDialog>

#include <cstdint>
#include <span>
#include <vector>

class CFile;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class SearchModeBox;
class SearchValueEdit;

// "DataSearch": the list of search conditions on channels (levels, edges)
// and buses (values in a base) that Search Next and Search Previous look for.
// The dialog lives as long as the program; the list confirmed with "OK" is
// kept between openings and is what the search engine reads.
class TtDataSearch : public QDialog
{
    Q_OBJECT

public:
    static constexpr size_t MaxConditions = 64;

    explicit TtDataSearch(QWidget *parent = nullptr);

    // Remembers the record (names, bus widths, the signal list), empties the
    // effective list and shows the dialog modally.
    void OpenDialog(const CFile &settings, int channelCount);

    // The effective list: what the search looks for on a model of
    // `channelCount` channels. A list made on a model with another channel
    // count is none: its row numbers name other channels and buses there.
    std::span<const SearchCondition> Conditions(int channelCount) const
    {
        return channelCount == listChannels ? std::span<const SearchCondition>(effective)
                                            : std::span<const SearchCondition>();
    }
    // The working list the grid shows (row r of the grid is entry r).
    std::span<const SearchCondition> Working() const { return working; }

    QLabel *ptLabel_Channel = nullptr;
    QLabel *ptLabel_Name = nullptr;
    QLabel *ptLabel_Data = nullptr;
    QComboBox *tChannelBox = nullptr;
    QComboBox *tLevelBox = nullptr;
    SearchValueEdit *tEdit_Data = nullptr;
    QLabel *ptValueLimit = nullptr;
    SearchModeBox *tSearchMode = nullptr;
    QTableWidget *tDataGrid = nullptr;
    QPushButton *tBtn_Add = nullptr;
    QPushButton *tBtn_Delete = nullptr;
    QPushButton *tBtn_Clear = nullptr;
    QPushButton *tBtn_OK = nullptr;
    QPushButton *tBtn_Cancel = nullptr;

public slots:
    void FormShow();
    void tChannelBoxChange();
    void tSearchModeClick(int base);
    void tBtn_AddClick();
    void tBtn_DeleteClick();
    void tBtn_ClearClick();
    void tDataGridDblClick(int gridRow);
    void tBtn_OKClick();
    void tBtn_CancelClick();
    // Cancel, Escape and the window's close button: the saved list again.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    static constexpr int FirstColumnWidth = 76;
    static constexpr int LastColumnWidth = 121;
    static constexpr int LastColumnMinimum = 60;
    // The first column as wide as its header needs ("Channel/Bus").
    void FitFirstColumn();

private:
    void LoadTexts();
    bool IsChannel(uint32_t row) const { return row < static_cast<uint32_t>(channels); }
    // "CH3" or "Bus1", and the channel's or bus's name.
    QString RowLabel(uint32_t row) const;
    QString RowName(uint32_t row) const;
    int WidthOf(uint32_t row) const;
    QString LevelText(uint16_t code) const;
    void ShowLimit();
    // Writes a grid row: label, name and data text.
    void SetGridRow(int gridRow, uint32_t row, const QString &cell);
    void EndWithEmptyRow();

    const CFile *settings = nullptr;
    int channels = 16;
    std::vector<SearchCondition> effective;
    std::vector<SearchCondition> saved;
    bool haveSaved = false;
    int listChannels = 0; // the channel count the saved list was made for
    std::vector<SearchCondition> working;
    std::vector<uint32_t> channelBoxRows;
    int previousBase = 0;
};
