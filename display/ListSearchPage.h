#pragma once

#include "display/CListMode.h"
#include "search/SearchPage.h"

#include <algorithm>

// The state list as a search page: the current sample is the list's scroll
// position (its middle row), the range the record's first and last sample,
// and a found sample becomes the scroll position, so the next step goes on
// from it.
class ListSearchPage : public SearchPage
{
public:
    explicit ListSearchPage(CListMode &page)
        : list(page)
    {}

    Position SearchPosition() override
    {
        Position at;
        at.Index = list.Position();
        at.Address = list.Rows().CentreAddress();
        at.First = list.Rows().RecordFirst();
        at.Last = list.Rows().RecordLast();
        return at;
    }

    void ShowFoundSample(int64_t index) override
    {
        const int64_t inside =
            std::clamp<int64_t>(index, list.Rows().RecordFirst(), list.Rows().RecordLast());
        list.SetPosition(static_cast<int32_t>(inside));
    }

private:
    CListMode &list;
};
