#pragma once

class CFile;

// The trigger fields of a settings record made sane for editing, whatever a
// file brought: a type of 1..5 (0 reads as 1), conditions that are one of
// L, H, F, R, X with at most one edge per row (the highest channel's stays,
// as the pattern grid keeps it), flags of 0 or 1, a counter of 1..255 and
// pulse-width fields within their lists and edits.
class TriggerFields
{
public:
    static void MakeSane(CFile &record);
};
