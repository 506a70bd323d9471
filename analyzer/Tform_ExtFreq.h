#pragma once

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;

// Asks for the frequency of the external sample clock: a number in FreqEdit
// and its unit in FreqGroup (0 MHz, 1 KHz, 2 Hz). The list and cursor views
// turn sample counts into times with it.
class Tform_ExtFreq : public QDialog
{
    Q_OBJECT

public:
    explicit Tform_ExtFreq(QWidget *parent = nullptr);

    // The unit selected in FreqGroup now.
    int FreqGroupIndex() const;
    void SetFreqGroupIndex(int index);

    QLineEdit *FreqEdit = nullptr;
    QGroupBox *FreqGroup = nullptr;
    QPushButton *btn_OK = nullptr;

    // Stored by OK.
    int Frequency = 10;
    int Unit = 0;

public slots:
    void btn_OKClick();
    void FreqEditChange();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QButtonGroup *units = nullptr;
};
