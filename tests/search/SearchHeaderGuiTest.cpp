// The search dialog's grid: its first header, "Channel/Bus", is shown whole
// in the font on screen, and the grid keeps its width.

#include "../analyzer/AnalyzerWindowFixture.h"

#include "device/CFile.h"
#include "search/TtDataSearch.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QTimer>

namespace {

TEST(DataSearchDialog, FirstHeaderIsWholeAndTheGridKeepsItsWidth)
{
    MessageRecorder messages;
    CFile f;
    f.ResetSettings();
    TtDataSearch d;
    QTimer::singleShot(0, [&] {
        QHeaderView *header = d.tDataGrid->horizontalHeader();
        const QString text = d.tDataGrid->horizontalHeaderItem(0)->text();
        EXPECT_EQ(text, QStringLiteral("Channel/Bus"));
        EXPECT_GT(d.tDataGrid->columnWidth(0), header->fontMetrics().horizontalAdvance(text));
        EXPECT_GE(d.tDataGrid->columnWidth(0), 76);
        EXPECT_EQ(d.tDataGrid->columnWidth(1), 93);
        EXPECT_EQ(d.tDataGrid->columnWidth(0) + d.tDataGrid->columnWidth(2), 76 + 121);
        d.reject();
    });
    d.OpenDialog(f, 16);
}

} // namespace
