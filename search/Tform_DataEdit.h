#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>

class CFile;
class QComboBox;
class QLabel;
class QPushButton;
class SearchModeBox;
class SearchValueEdit;

// "Data Edit": the value of one search condition. A channel row offers the
// five channel conditions in a list; a bus row a value in a base, checked
// against the bus width. The search dialog makes one per edit, reads the
// result and destroys it.
class Tform_DataEdit : public QDialog
{
    Q_OBJECT

public:
    static constexpr int32_t ChannelBase = 999; // the base reported for a channel row

    explicit Tform_DataEdit(QWidget *parent = nullptr);

    // Builds the controls for the row (a channel below `channelCount`, else
    // a bus) and shows the dialog modally; then read confirmed, value, text
    // and base.
    void EditCondition(int row, const CFile &settings, int channelCount);

    int32_t row = 0;
    const CFile *settings = nullptr;
    int16_t value = 0;
    QString text;
    int32_t base = 0;
    uint8_t confirmed = 0;
    int32_t previousBase = 0;

    // The controls of the row being edited (nullptr for the other kind).
    QComboBox *LevelBox = nullptr;
    SearchValueEdit *DataEdit = nullptr;
    QLabel *DataLabel = nullptr;
    QLabel *LimitText = nullptr;
    SearchModeBox *ModeBox = nullptr;
    QPushButton *tBtn_OK = nullptr;
    QPushButton *tBtn_Cancel = nullptr;

public slots:
    void tBtn_OKClick();
    void tBtn_CancelClick();

private:
    void BuildChannel();
    void BuildBus();
    void ModeClick(int newBase);
    void ShowLimit();

    int width = 0; // bus width
    QWidget *body = nullptr;
};
