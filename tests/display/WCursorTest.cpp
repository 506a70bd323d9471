// The cursor list: names, the 25-cursor limit, serials and colours,
// selection and line styles, the time frame and the dialog choices.

#include "display/WCursor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Cursor names of the list, newest first.
std::string NamesOf(const WCursor &c)
{
    std::string s;
    for (const WCursor::Cursor &k : c.Cursors())
        s += k.Name;
    return s;
}

// Runs a script: a letter removes that cursor, '+' adds one; returns the
// name the last '+' got ('\0' when refused).
char Play(WCursor &c, const std::string &script)
{
    char last = 0;
    for (char op : script) {
        if (op == '+') {
            const WCursor::AddOutcome r = c.AddCursor(WTime{});
            last = r.Added ? r.Added->Name : 0;
        } else {
            EXPECT_TRUE(c.RemoveCursor(op)) << op;
        }
    }
    return last;
}

struct NamingCase
{
    const char *what;
    std::string script;
    char expected;
};

class CursorNaming : public ::testing::TestWithParam<NamingCase>
{
};

TEST_P(CursorNaming, TakesTheFirstFreeLetterAndNeverT)
{
    WCursor cursors;
    EXPECT_EQ(Play(cursors, GetParam().script), GetParam().expected) << GetParam().what;
    EXPECT_EQ(cursors.FindCursor('T'), &cursors.TriggerCursor());
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, CursorNaming,
    ::testing::Values(NamingCase{"first cursor", "+", 'A'},
                      NamingCase{"A, B, delete A, new", "++A+", 'A'},
                      NamingCase{"A, B, C, delete B, new", "+++B+", 'B'},
                      NamingCase{"the letter after S is U", std::string(20, '+'), 'U'},
                      NamingCase{"the 25th is Z", std::string(25, '+'), 'Z'},
                      NamingCase{"the 26th is refused", std::string(26, '+'), '\0'},
                      NamingCase{"25 cursors, delete M, new", std::string(25, '+') + "M+", 'M'}));

TEST(WCursor, TwentyFiveUserCursorsAtMost)
{
    WCursor cursors;
    for (int i = 0; i < WCursor::MaxUserCursors; ++i)
        ASSERT_NE(cursors.AddCursor(WTime{}).Added, nullptr);
    EXPECT_EQ(NamesOf(cursors), "ZYXWVUSRQPONMLKJIHGFEDCBA");

    const WCursor::AddOutcome refused = cursors.AddCursor(WTime{});
    EXPECT_EQ(refused.Added, nullptr);
    EXPECT_EQ(refused.Message, "Out of Cursor limit.");
    EXPECT_EQ(cursors.Count(), 25);
    EXPECT_EQ(cursors.Selected()->Name, 'Z'); // the refusal changes nothing
}

TEST(WCursor, SerialsAndColours)
{
    WCursor cursors;
    EXPECT_EQ(cursors.TriggerCursor().Serial, 0);
    EXPECT_EQ(cursors.TriggerCursor().Colour, 0x0000FF);
    const WCursor::Cursor *a = cursors.AddCursor(WTime{}).Added;
    const WCursor::Cursor *b = cursors.AddCursor(WTime{}).Added;
    EXPECT_EQ(a->Serial, 1);
    EXPECT_EQ(a->Colour, 0x800080); // entry (1 + 1) mod 10
    EXPECT_EQ(b->Colour, 0xFF00FF);
    // A removed letter comes back, its serial and colour do not.
    cursors.RemoveCursor('A');
    const WCursor::Cursor *again = cursors.AddCursor(WTime{}).Added;
    EXPECT_EQ(again->Name, 'A');
    EXPECT_EQ(again->Serial, 3);
    EXPECT_EQ(again->Colour, 0x008000);
    EXPECT_EQ(WCursor::ColourOfSerial(9), 0xFFFF00); // (9 + 1) mod 10 = 0
}

TEST(WCursor, NewestIsSelectedAndSolid)
{
    WCursor cursors;
    cursors.AddCursor(WTime{});
    cursors.AddCursor(WTime{});
    cursors.AddCursor(WTime{});
    EXPECT_EQ(NamesOf(cursors), "CBA");
    EXPECT_EQ(cursors.Selected()->Name, 'C');
    EXPECT_EQ(cursors.SelectedIndex(), 0);
    EXPECT_EQ(cursors.FindCursor('C')->LineStyle, WCursor::Solid);
    EXPECT_EQ(cursors.FindCursor('B')->LineStyle, WCursor::Dotted);
    EXPECT_EQ(cursors.FindCursor('A')->LineStyle, WCursor::Dotted);

    EXPECT_TRUE(cursors.Select('A'));
    EXPECT_EQ(cursors.SelectedIndex(), 2);
    EXPECT_EQ(cursors.FindCursor('A')->LineStyle, WCursor::Solid);
    EXPECT_EQ(cursors.FindCursor('C')->LineStyle, WCursor::Dotted);

    EXPECT_FALSE(cursors.Select('T')); // the trigger cursor is never selected
    EXPECT_FALSE(cursors.Select('Q'));
    EXPECT_EQ(cursors.Selected()->Name, 'A');
    EXPECT_EQ(cursors.FindCursor('Q'), nullptr);
}

TEST(WCursor, RemoveAndDelete)
{
    WCursor cursors;
    Play(cursors, "+++"); // C B A, C selected
    EXPECT_FALSE(cursors.RemoveCursor('T'));
    EXPECT_FALSE(cursors.RemoveCursor('D'));

    // "Delete" removes the selected cursor and selects the newest remaining.
    cursors.Select('B');
    EXPECT_TRUE(cursors.DeleteSelected());
    EXPECT_EQ(NamesOf(cursors), "CA");
    EXPECT_EQ(cursors.Selected()->Name, 'C');
    EXPECT_EQ(cursors.FindCursor('C')->LineStyle, WCursor::Solid);

    // RemoveCursor leaves no selection; "Delete" then clears the list.
    EXPECT_TRUE(cursors.RemoveCursor('A'));
    EXPECT_EQ(cursors.Selected(), nullptr);
    EXPECT_EQ(cursors.SelectedIndex(), -1);
    Play(cursors, "+");
    cursors.RemoveCursor('A');
    EXPECT_EQ(cursors.Count(), 1);
    EXPECT_TRUE(cursors.DeleteSelected());
    EXPECT_EQ(cursors.Count(), 0);
    EXPECT_FALSE(cursors.DeleteSelected());
    EXPECT_EQ(cursors.LastCreated(), nullptr);
}

struct FrameCase
{
    const char *what;
    WTime delay;
    WTime added; // the time AddCursor gets (ViewPosition)
    WTime trigger;
    WTime cursor;
};

class CursorTimeFrame : public ::testing::TestWithParam<FrameCase>
{
};

TEST_P(CursorTimeFrame, CursorTimesCountFromTheTriggerEvent)
{
    const FrameCase &c = GetParam();
    WCursor cursors;
    cursors.SetTriggerCursor(c.delay);
    EXPECT_EQ(cursors.TriggerCursor().Time, c.trigger) << c.what;
    EXPECT_EQ(cursors.AddCursor(c.added).Added->Time, c.cursor) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Delays, CursorTimeFrame,
    ::testing::Values(FrameCase{"no delay", WTime{}, WTime::Of(0, 0, 2), WTime{},
                                WTime::Of(0, 0, 2)},
                      FrameCase{"delay +5 us", WTime::Of(0, 0, 5), WTime::Of(0, 0, 2),
                                WTime::Of(0, 0, 5, 0, 0, 0), WTime::Of(0, 0, 7)},
                      FrameCase{"delay -3 us", WTime::Of(0, 0, 3, 0, 0, 0), WTime::Of(0, 0, 1),
                                WTime::Of(0, 0, 3), WTime::Of(0, 0, 2, 0, 0, 0)},
                      FrameCase{"negative zero delay", WTime::Of(0, 0, 0, 0, 0, 0),
                                WTime::Of(0, 500), WTime{}, WTime::Of(0, 500)}));

TEST(WCursor, DialogChoicesSortedByCharacterCode)
{
    WCursor cursors;
    using Names = std::vector<std::string>;
    EXPECT_EQ(cursors.GotoChoices(), Names{"<None>"});
    EXPECT_EQ(cursors.StateChoices(), Names{"<None>"});
    Play(cursors, std::string(22, '+') + "ABCDEFGHIJKLMNOPQRS"); // U V W left
    cursors.RemoveCursor('V');
    EXPECT_EQ(cursors.GotoChoices(), (Names{"U", "W"}));
    EXPECT_EQ(cursors.StateChoices(), (Names{"T", "U", "W"}));
    Play(cursors, "+"); // A
    EXPECT_EQ(cursors.StateChoices(), (Names{"A", "T", "U", "W"}));
}

TEST(WCursor, RemoveAllKeepsTheTriggerCursor)
{
    WCursor cursors;
    cursors.SetTriggerCursor(WTime::Of(0, 0, 5));
    Play(cursors, "+++");
    cursors.RemoveAll();
    EXPECT_EQ(cursors.Count(), 0);
    EXPECT_EQ(cursors.Selected(), nullptr);
    EXPECT_EQ(cursors.FindCursor('T')->Time, WTime::Of(0, 0, 5, 0, 0, 0));
    EXPECT_EQ(Play(cursors, "+"), 'A');
}

} // namespace
