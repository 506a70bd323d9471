#pragma once

#include <QFrame>

class CFile;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;

// The trigger options panel of the configuration dialog: continuous
// trigger, the trigger counter ("Trig Counter" ... "Times", 1..255) and the
// clock source ("Trigger Mode": internal or external). It edits the record
// it is given only when committed. On the Demo model all three are fixed at
// their defaults.
class TriggerInfo : public QFrame
{
    Q_OBJECT

public:
    TriggerInfo(QWidget *parent, CFile &record);

    // Shows the record's options (Demo: the defaults, disabled).
    void Load();
    // Writes the options into the record. A counter that is not a number of
    // 1..255 is reported and all three options go back to their defaults.
    void Commit();
    // Continuous OFF, counter 1, internal clock.
    void Erase();

    int ContinuousIndex() const;
    int TriggerModeIndex() const;
    void SetTriggerModeIndex(int index);

    QGroupBox *ContinuousGroup = nullptr;
    QGroupBox *TriggerModeGroup = nullptr;
    QLineEdit *TrigCounter = nullptr;
    QLabel *TrigCounterLabel = nullptr;
    QLabel *TimesLabel = nullptr;
    // The "Trigger Mode" index as last clicked.
    int TriggerModeCopy = 0;

signals:
    // A click on "Trigger Mode", with the index it now shows.
    void TriggerModeClicked(int index);

private:
    void TrigCounterChange();
    void SetIndex(QButtonGroup *group, int index);

    CFile &record;
    QButtonGroup *continuous = nullptr;
    QButtonGroup *triggerMode = nullptr;
};
