#include "display/CursorState.h"

#include "device/CFile.h"
#include "display/DIV_WTime.h"
#include "display/TimeText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

CursorState::CState &CursorState::AddState(char fromName, char toName)
{
    CState s;
    s.Id = counter++;
    s.From = fromName;
    s.To = toName;
    s.DisplayMode = TimeMode;
    states.push_front(std::move(s));
    return states.front();
}

CursorState::CState *CursorState::FindState(int32_t id)
{
    for (CState &s : states) {
        if (s.Id == id)
            return &s;
    }
    return nullptr;
}

bool CursorState::RemoveState(int32_t id)
{
    const auto it =
        std::find_if(states.begin(), states.end(), [id](const CState &s) { return s.Id == id; });
    if (it == states.end())
        return false;
    if (selected == &*it)
        selected = nullptr;
    states.erase(it);
    return true;
}

bool CursorState::DeleteSelected()
{
    return selected != nullptr && RemoveState(selected->Id);
}

bool CursorState::Select(int32_t id)
{
    CState *s = FindState(id);
    if (s == nullptr)
        return false;
    selected = s;
    return true;
}

bool CursorState::ToggleMode(int32_t id)
{
    CState *s = FindState(id);
    if (s == nullptr)
        return false;
    s->DisplayMode = s->DisplayMode == TimeMode ? FrequencyMode : TimeMode;
    return true;
}

void CursorState::Refresh(const WCursor &cursors, const DIV_WTime &tb)
{
    for (CState &s : states)
        s.Text = TextOf(s, cursors, tb);
}

std::string CursorState::TextOf(const CState &state, const WCursor &cursors, const DIV_WTime &tb)
{
    const WCursor::Cursor *from = cursors.FindCursor(state.From);
    const WCursor::Cursor *to = cursors.FindCursor(state.To);
    if (from == nullptr || to == nullptr)
        return std::string(MissingText);
    // Both ends on the trigger-event axis, where "T" itself lies at 0 (its
    // Time is the trigger event's place in the record, not on this axis).
    auto axisTime = [](const WCursor::Cursor &c) { return c.IsTrigger() ? WTime{} : c.Time; };
    const WTime d = SignedSub(axisTime(*to), axisTime(*from));
    std::string text;
    text += state.From;
    text += " To ";
    text += state.To;
    text += " = ";
    if (tb.Settings.ClockSource == 1)
        text += tb.ClockCountText(d);
    else if (state.DisplayMode == TimeMode)
        text += TimeText(d, tb.TimePerPixelUnit);
    else
        text += FrequencyText(d);
    return text;
}

std::string CursorState::FrequencyText(const WTime &d)
{
    const WTime t = Normalise(d);
    int n = 4;
    while (n > 0 && t.g[static_cast<size_t>(n)] == 0)
        --n;
    const uint64_t lower = n > 0 ? t.g[static_cast<size_t>(n - 1)] : 0;
    const uint64_t b = static_cast<uint64_t>(t.g[static_cast<size_t>(n)]) * 1000 + lower;
    float f = b == 0 ? 0.0f : 1000.0f / static_cast<float>(b);
    int u = n;
    if (f < 1.0f && u < 4) {
        f *= 1000.0f;
        ++u;
    }
    FrequencyValue = f;
    FrequencyUnit = u;

    std::string number = GeneralText(static_cast<double>(f));
    // Only the digits are cut; an exponent stays, so that the text keeps its value.
    const size_t e = number.find('E');
    std::string exponent;
    if (e != std::string::npos) {
        exponent = number.substr(e);
        number.resize(e);
    }
    if (number.size() > FrequencyDigits)
        number.resize(FrequencyDigits);
    return number + exponent + std::string(FrequencyUnits[static_cast<size_t>(u)]);
}

std::string CursorState::GeneralText(double v)
{
    if (v == 0 || !std::isfinite(v))
        return v == 0 ? "0" : std::string(std::isnan(v) ? "NAN" : (v > 0 ? "INF" : "-INF"));
    // 15 significant digits as d.dddddddddddddde[+-]xx, then laid out.
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", v);
    const char *e = std::strchr(buf, 'e');
    const int exponent = std::atoi(e + 1);
    std::string digits;
    for (const char *p = buf; p != e; ++p) {
        if (*p >= '0' && *p <= '9')
            digits += *p;
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    const double magnitude = std::fabs(v);
    std::string out(v < 0 ? 1 : 0, '-');
    if (magnitude < 0.00001 || exponent >= 15) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1);
        }
        out += 'E';
        out += std::to_string(exponent);
        return out;
    }
    if (exponent < 0) {
        out += "0.";
        out.append(static_cast<size_t>(-exponent - 1), '0');
        out += digits;
        return out;
    }
    const auto whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole) {
        out += digits;
        out.append(whole - digits.size(), '0');
        return out;
    }
    out.append(digits, 0, whole);
    out += '.';
    out.append(digits, whole);
    return out;
}

std::vector<CursorState::Rect> CursorState::ButtonRects(int count, int32_t panelWidth,
                                                        int32_t scrollBarWidth,
                                                        int32_t scrollPosition)
{
    const int64_t columns = (static_cast<int64_t>(panelWidth) - scrollBarWidth) / ButtonWidth;
    std::vector<Rect> rects;
    rects.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const int64_t row = columns > 0 ? i / columns : 0;
        const int64_t column = columns > 0 ? i % columns : i;
        Rect r;
        r.Left = static_cast<int32_t>(column * ButtonWidth);
        r.Top = static_cast<int32_t>(row * RowPitch - scrollPosition + 1);
        rects.push_back(r);
    }
    return rects;
}

int CursorState::RowsOf(int count, int32_t panelWidth, int32_t scrollBarWidth)
{
    if (count <= 0)
        return 0;
    const int64_t columns = (static_cast<int64_t>(panelWidth) - scrollBarWidth) / ButtonWidth;
    if (columns <= 0)
        return 1;
    return static_cast<int>((count + columns - 1) / columns);
}
