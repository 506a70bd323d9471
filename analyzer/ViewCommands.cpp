#include "analyzer/ViewCommands.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/DIV_WTime.h"
#include "display/WCursor.h"

#include <algorithm>

ViewCommands::ZoomEnables ViewCommands::ZoomLimits(bool externalClock, int row)
{
    const int first = externalClock ? ExternalFirstRow : InternalFirstRow;
    const int last = externalClock ? ExternalLastRow : InternalLastRow;
    ZoomEnables e;
    e.ZoomIn = row > first;
    e.ZoomOut = row < last;
    return e;
}

int ViewCommands::DividerIndexOfRow(const WSystem &system, int row)
{
    const auto &rows = *system.DividerRows;
    const auto count = std::min<size_t>(system.DividerCount, rows.size());
    for (size_t k = 0; k < count; ++k) {
        if (rows[k] == row)
            return static_cast<int>(k);
    }
    return -1;
}

namespace {

ViewCommands::ZoomStep Step(bool externalClock, int row, int dividerIndex, const WSystem &system,
                            int by)
{
    ViewCommands::ZoomStep s;
    if (!externalClock) {
        const int from =
            std::clamp(row, ViewCommands::InternalFirstRow, ViewCommands::InternalLastRow);
        s.Row =
            std::clamp(from + by, ViewCommands::InternalFirstRow, ViewCommands::InternalLastRow);
        s.DividerIndex = dividerIndex;
        s.Changed = s.Row != row;
        return s;
    }
    const auto &rows = *system.DividerRows;
    const int count = static_cast<int>(std::min<size_t>(system.DividerCount, rows.size()));
    if (count == 0) {
        s.Row = row;
        s.DividerIndex = dividerIndex;
        return s;
    }
    // An unselected divider list (-1) counts as its first entry.
    const int from = std::clamp(dividerIndex, 0, count - 1);
    s.DividerIndex = std::clamp(from + by, 0, count - 1);
    s.Row = rows[static_cast<size_t>(s.DividerIndex)];
    s.Changed = s.DividerIndex != dividerIndex || s.Row != row;
    return s;
}

} // namespace

ViewCommands::ZoomStep ViewCommands::ZoomIn(bool externalClock, int row, int dividerIndex,
                                            const WSystem &system)
{
    return Step(externalClock, row, dividerIndex, system, -1);
}

ViewCommands::ZoomStep ViewCommands::ZoomOut(bool externalClock, int row, int dividerIndex,
                                             const WSystem &system)
{
    return Step(externalClock, row, dividerIndex, system, +1);
}

int ViewCommands::NextGridStyle(int style)
{
    if (style < 0 || style >= GridStyleCount - 1)
        return 0;
    return style + 1;
}

ViewCommands::ColourScheme ViewCommands::ToggleBackground(TColor background,
                                                          TColor systemBackground)
{
    ColourScheme c;
    if (background != Black) {
        c.Background = Black;
        c.Foreground = White;
        c.List = systemBackground;
    } else {
        c.Background = White;
        c.Foreground = Black;
        c.List = White;
    }
    return c;
}

ViewCommands::ViewChange ViewCommands::ApplyViewChange(DIV_WTime &view, int divRow,
                                                       bool timer1WasRunning)
{
    ViewChange change;
    if (!timer1WasRunning)
        return change;
    const int row = std::clamp(divRow, InternalFirstRow, InternalLastRow);
    if (view.Settings.ClockSource == 1) {
        // The external clock records at its own rate; only the display row follows.
        view.TimeDivIndex = static_cast<int16_t>(row);
        view.Settings.TimeDivRow = static_cast<int16_t>(row);
        view.Settings.RateRow = ExternalRateRow;
    } else {
        view.SetRateFromTimeDiv(row);
    }
    view.UpdateTimeBase();
    view.PulseCount();
    change.Redraw = true;
    return change;
}

WTime ViewCommands::SettingsDelay(const CFile &settings)
{
    WTime d;
    for (size_t k = 0; k < d.g.size(); ++k)
        d.g[k] = settings.DelayGroups[k];
    d = Normalise(d);
    d.sign = settings.DelayNegative == 1 && !d.IsZero() ? 0 : 1;
    return d;
}

WTime ViewCommands::GotoCursorPosition(const WTime &cursorTime, const WTime &triggerCursorTime)
{
    return SignedAdd(cursorTime, triggerCursorTime);
}

void ViewCommands::ResetToDefault(CFile &settings, WSystem &system, WCursor &cursors, WTime &delay)
{
    settings.ResetSettings();
    delay = WTime{};
    cursors.SetTriggerCursor(delay);
    cursors.RemoveAll();
    system.ClearSamples();
}
