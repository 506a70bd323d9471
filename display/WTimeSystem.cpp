#include "display/WTimeSystem.h"

#include "device/CFile.h"
#include "device/ModelTable.h"
#include "display/TimeText.h"

WTimeSystem::WTimeSystem(const CFile &settings)
    : Settings(settings)
{}

WTime WTimeSystem::Period() const
{
    const ModelTable::ModelRow &model = ModelTable::Model(Settings.ModelCode);
    const ModelTable::TimeValueEntry &p =
        ModelTable::Row(Settings.TimeDivRow).period[static_cast<size_t>(model.rate)];
    return WTime::FromTable(static_cast<uint32_t>(p.value), p.unit);
}

WTime WTimeSystem::Duration(uint32_t n) const
{
    return TimeMul(Period(), n);
}

std::string WTimeSystem::DurationOfCount(uint32_t n) const
{
    return DurationText(Duration(n));
}

std::string WTimeSystem::DurationOfRange(int64_t first, int64_t last) const
{
    if (last < first)
        return DurationOfCount(0);
    const uint64_t n = static_cast<uint64_t>(last) - static_cast<uint64_t>(first) + 1;
    return DurationOfCount(n > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(n));
}
