#include "display/WCursor.h"

#include <algorithm>
#include <new>

WCursor::WCursor()
{
    CreateTriggerCursor();
}

void WCursor::CreateTriggerCursor()
{
    trigger = Cursor{};
    trigger.Name = TriggerName;
    trigger.Serial = counter++;
    trigger.LineStyle = Solid;
    trigger.ListPosition = 0;
    trigger.Time = WTime{};
    trigger.MarkerLeft = TriggerMarkerLeft;
    trigger.Colour = TriggerColour;
}

void WCursor::SetTriggerCursor(const WTime &delay)
{
    WTime t = delay;
    t.sign = (delay.sign == 0 || delay.IsZero()) ? 1 : 0;
    trigger.Time = t;
}

TColor WCursor::ColourOfSerial(int32_t serial)
{
    const int32_t k = (serial + 1) % static_cast<int32_t>(MarkerColours.size());
    return MarkerColours[static_cast<size_t>(k < 0 ? -k : k)];
}

char WCursor::FreeName(char wanted) const
{
    auto used = [this](char c) {
        return std::any_of(cursors.begin(), cursors.end(),
                           [c](const Cursor &k) { return k.Name == c; });
    };
    if (wanted >= 'A' && wanted <= 'Z' && wanted != TriggerName && !used(wanted))
        return wanted;
    for (char c = 'A'; c <= 'Z'; ++c) {
        if (c == TriggerName)
            continue;
        if (!used(c))
            return c;
    }
    return 0;
}

WCursor::AddOutcome WCursor::AddCursor(const WTime &time, int32_t listPosition, char wanted)
{
    AddOutcome out;
    const char name = FreeName(wanted);
    if (Count() >= MaxUserCursors || name == 0) {
        out.Message = OutOfLimitText;
        return out;
    }
    Cursor c;
    c.Name = name;
    c.Serial = counter;
    c.LineStyle = Solid;
    c.ListPosition = listPosition;
    c.Time = SignedSub(time, trigger.Time);
    c.MarkerLeft = UserMarkerLeft;
    c.Colour = ColourOfSerial(counter);
    try {
        cursors.push_front(c);
    } catch (const std::bad_alloc &) {
        out.Message = MemoryFullText;
        return out;
    }
    ++counter;
    if (selected != nullptr)
        selected->LineStyle = Dotted;
    selected = &cursors.front();
    lastCreated = selected;
    out.Added = selected;
    return out;
}

bool WCursor::RemoveCursor(char name)
{
    const auto it = std::find_if(cursors.begin(), cursors.end(),
                                 [name](const Cursor &k) { return k.Name == name; });
    if (it == cursors.end())
        return false;
    if (lastCreated == &*it)
        lastCreated = nullptr;
    cursors.erase(it);
    selected = nullptr;
    return true;
}

bool WCursor::DeleteSelected()
{
    if (cursors.empty())
        return false;
    if (selected == nullptr)
        RemoveAll();
    else
        RemoveCursor(selected->Name);
    if (!cursors.empty())
        Select(cursors.front().Name);
    return true;
}

void WCursor::RemoveAll()
{
    cursors.clear();
    selected = nullptr;
    lastCreated = nullptr;
}

WCursor::Cursor *WCursor::FindCursor(char name)
{
    if (name == TriggerName)
        return &trigger;
    for (Cursor &c : cursors) {
        if (c.Name == name)
            return &c;
    }
    return nullptr;
}

const WCursor::Cursor *WCursor::FindCursor(char name) const
{
    return const_cast<WCursor *>(this)->FindCursor(name);
}

bool WCursor::Select(char name)
{
    if (name == TriggerName)
        return false;
    Cursor *c = FindCursor(name);
    if (c == nullptr)
        return false;
    if (selected != nullptr && selected != c)
        selected->LineStyle = Dotted;
    c->LineStyle = Solid;
    selected = c;
    return true;
}

int WCursor::SelectedIndex() const
{
    int i = 0;
    for (const Cursor &c : cursors) {
        if (&c == selected)
            return i;
        ++i;
    }
    return -1;
}

std::vector<std::string> WCursor::GotoChoices() const
{
    std::vector<std::string> names;
    for (const Cursor &c : cursors)
        names.emplace_back(1, c.Name);
    if (names.empty())
        return {std::string(NoneText)};
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> WCursor::StateChoices() const
{
    if (cursors.empty())
        return {std::string(NoneText)};
    std::vector<std::string> names = GotoChoices();
    names.emplace_back(1, TriggerName);
    std::sort(names.begin(), names.end());
    return names;
}
