#pragma once

#include <QFrame>

#include <functional>
#include <string>

class CFile;
class QComboBox;
class QLabel;
class QLineEdit;

// The pulse-width editor of the trigger page: "If" channel (with its name),
// level "High"/"Low", comparison "<", "=", ">", a width of whole units and
// thousandths, and the unit "nS", "uS", "mS", "Sec". It writes the record's
// pulse-width fields only when committed.
class CPulseWidth : public QFrame
{
    Q_OBJECT

public:
    // `channelName` gives the name shown beside the channel list.
    CPulseWidth(QWidget *parent, CFile &record, std::function<std::string(int)> channelName);

    void Load();
    // False (and nothing written) when an edit holds no number.
    bool Commit();
    // Channel 0 with the label "Channel0" (not its name), High, "<", 1.0 uS.
    void Erase();

    QComboBox *ChannelList = nullptr;
    QLabel *ChannelName = nullptr;
    QComboBox *LevelList = nullptr;
    QComboBox *CompareList = nullptr;
    QLineEdit *WholeEdit = nullptr;
    QLineEdit *FractionEdit = nullptr;
    QComboBox *UnitList = nullptr;

private:
    void ChannelChange(int channel);

    CFile &record;
    std::function<std::string(int)> nameOf;
};
