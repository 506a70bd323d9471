#include "protocols/DecodeCsv.h"

#include <gtest/gtest.h>

namespace {

TEST(DecodeCsv, QuotesOnlyFieldsThatNeedIt)
{
    const std::pair<const char *, const char *> cases[] = {
        {"", ""},
        {"50(h)", "50(h)"},
        {"48(h) 69(h) ", "48(h) 69(h) "},
        {"SP , !Ack", "\"SP , !Ack\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"Donn\xC3\xA9"
         "es",
         "Donn\xC3\xA9"
         "es"},
    };
    for (const auto &[text, field] : cases)
        EXPECT_EQ(DecodeCsv::Field(text), field);
}

TEST(DecodeCsv, HeaderAndRowsEndWithCrLf)
{
    DecodeTable t(3);
    t.AddRow({"0", "SP , !Ack", "A\"B"});
    t.AddRow({"1", "", "x"});
    std::string out = DecodeCsv::Line({"Packet", "Status", "Data"});
    DecodeCsv::AppendRows(out, t);
    EXPECT_EQ(out, "Packet,Status,Data\r\n0,\"SP , !Ack\",\"A\"\"B\"\r\n1,,x\r\n");
    std::string lines;
    DecodeCsv::AppendRows(lines, t, "MISO");
    EXPECT_EQ(lines, "MISO,0,\"SP , !Ack\",\"A\"\"B\"\r\nMISO,1,,x\r\n");
}

TEST(DecodeTable, RowsCellsAndLongestTexts)
{
    DecodeTable t(3);
    t.AddRow({"a", "bcd"});
    t.Push("x");
    t.PushNumber(1234, "bits");
    EXPECT_EQ(t.Rows(), 1) << "a row counts once its last cell is in";
    t.Push("");
    ASSERT_EQ(t.Rows(), 2);
    EXPECT_EQ(t.Cell(0, 0), "a");
    EXPECT_EQ(t.Cell(0, 2), "");
    EXPECT_EQ(t.Cell(1, 1), "1234bits");
    EXPECT_EQ(t.Cell(2, 0), "");
    EXPECT_EQ(t.Cell(0, 3), "");
    EXPECT_EQ(t.LongestText(1), 8);
    t.Clear();
    EXPECT_EQ(t.Rows(), 0);
    EXPECT_EQ(t.LongestText(1), 0);
}

// Rows written by column with fields left out (a frame cut short), marked
// rows and the message of a decode that could not run.
TEST(DecodeTable, CellsByColumnMarksAndMessage)
{
    DecodeTable t(4);
    t.PushAt(1, "b");
    t.PushAt(0, "late"); // a column already passed
    t.PushAt(3, "d");
    ASSERT_EQ(t.Rows(), 1);
    EXPECT_EQ(t.Cell(0, 0), "");
    EXPECT_EQ(t.Cell(0, 1), "b");
    EXPECT_EQ(t.Cell(0, 2), "");
    EXPECT_EQ(t.Cell(0, 3), "d");
    t.PushAt(4, "x"); // no such column
    t.AddRow({"e", "f", "g", "h"});
    EXPECT_EQ(t.Cell(1, 0), "e");
    t.Mark(1);
    t.Mark(2); // no such row yet
    for (int row : {-1, 0, 2})
        EXPECT_FALSE(t.Marked(row)) << row;
    EXPECT_TRUE(t.Marked(1));
    t.Message = "There is no capture to decode.";
    t.Clear();
    EXPECT_EQ(t.Rows(), 0);
    EXPECT_EQ(t.Columns(), 4);
    EXPECT_FALSE(t.Marked(1));
    EXPECT_EQ(t.Message, "");
}

} // namespace
