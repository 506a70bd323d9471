#include "trigger/PatternRowEdit.h"

#include "device/CFile.h"

PatternRowEdit::PatternRowEdit(Row &r, int channelCount, int pageType, int lockedChannel)
    : row(r)
    , channels(channelCount)
    , type(pageType)
    , locked(lockedChannel)
{}

bool PatternRowEdit::IsEdge(uint8_t code)
{
    return code == CFile::CondFall || code == CFile::CondRise;
}

char PatternRowEdit::Letter(uint8_t code)
{
    switch (code) {
    case CFile::CondLow:
        return 'L';
    case CFile::CondHigh:
        return 'H';
    case CFile::CondFall:
        return 'F';
    case CFile::CondRise:
        return 'R';
    default:
        return 'X';
    }
}

int PatternRowEdit::EdgeChannel() const
{
    for (int c = channels - 1; c >= 0; --c) {
        if (IsEdge(row[static_cast<size_t>(c)]))
            return c;
    }
    return -1;
}

bool PatternRowEdit::Editable(int channel) const
{
    return channel >= 0 && channel < channels && channel != locked;
}

void PatternRowEdit::Cycle(int channel)
{
    if (!Editable(channel))
        return;
    const uint8_t now = row[static_cast<size_t>(channel)];
    uint8_t next = CFile::CondX;
    const bool edges = EdgesAllowed(type);
    switch (now) {
    case CFile::CondLow:
        next = CFile::CondHigh;
        break;
    case CFile::CondHigh:
        next = edges ? CFile::CondFall : CFile::CondX;
        break;
    case CFile::CondFall:
        next = edges ? CFile::CondRise : CFile::CondX;
        break;
    case CFile::CondX:
        next = CFile::CondLow;
        break;
    default: // R, or anything that is not a condition
        break;
    }
    if (IsEdge(next))
        SetEdge(channel, next);
    else
        row[static_cast<size_t>(channel)] = next;
}

void PatternRowEdit::SetLevel(int channel, uint8_t code)
{
    if (Editable(channel) && !IsEdge(code))
        row[static_cast<size_t>(channel)] = code;
}

void PatternRowEdit::SetEdge(int channel, uint8_t code)
{
    if (!Editable(channel) || !IsEdge(code) || !EdgesAllowed(type))
        return;
    for (int c = 0; c < channels; ++c) {
        if (IsEdge(row[static_cast<size_t>(c)]))
            row[static_cast<size_t>(c)] = CFile::CondX;
    }
    row[static_cast<size_t>(channel)] = code;
}

void PatternRowEdit::SetAll(uint8_t code)
{
    if (IsEdge(code))
        return;
    for (int c = 0; c < channels; ++c)
        row[static_cast<size_t>(c)] = c == locked ? uint8_t{CFile::CondX} : code;
}

void PatternRowEdit::Drag(int from, int to, uint8_t carried)
{
    if (!Editable(to) || from == to)
        return;
    if (IsEdge(carried)) {
        if (Editable(from) && row[static_cast<size_t>(from)] == carried)
            row[static_cast<size_t>(from)] = CFile::CondX;
        SetEdge(to, carried);
    } else {
        SetLevel(to, carried);
    }
}
