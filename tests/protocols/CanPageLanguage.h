#pragma once

#include "protocols/WCAN_Core.h"
#include "protocols/WCAN_UI.h"

#include <QAbstractItemModel>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

// A language file that gives five of the CAN page's texts (its own section
// and Common's Start), and what a page built under it must show: those
// texts, and the defaults for the keys it lacks.
inline constexpr const char *CanTestLanguage =
    "[Language]\nText=Testish\nFileName=test_XX.lang\nCheckSum=19\n"
    "[CAN]\nstrChannelSelectLabel1=Dominant hoch\nstrCRC=Pruefsumme\nstrStatus=Zustand\n"
    "strExtensionItem2=Zeigen\n[Common]\nstrStartBtnCaption=Los\n";

inline void ExpectCanTestLanguage(const WCAN_UI &p)
{
    EXPECT_EQ(p.ChannelLabel->text(), "Dominant hoch");
    EXPECT_EQ(p.StartButton->text(), "Los");
    EXPECT_EQ(p.DefaultButton->text(), "Default") << "a missing key gives the default";
    EXPECT_EQ(p.ExtensionItems->button(1)->text(), "Zeigen");
    const QAbstractItemModel *rows = p.FrameGrid->model();
    EXPECT_EQ(rows->headerData(WCAN_Core::BasicId, Qt::Horizontal).toString(), "BasicID");
    EXPECT_EQ(rows->headerData(WCAN_Core::Crc, Qt::Horizontal).toString(), "Pruefsumme");
    EXPECT_EQ(rows->headerData(WCAN_Core::Status, Qt::Horizontal).toString(), "Zustand");
}
