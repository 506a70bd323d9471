#pragma once

// What a reading of another tool's capture must give for any bytes: a reason
// to refuse them with nothing filled in, or one model's ring (its memory, or
// for an import a larger power of two holding every sample kept) with a
// settings block that passes its checks and places the trigger at the first
// sample.
#include "device/CFile.h"
#include "device/ModelTable.h"
#include "device/WSystem.h"
#include "files/VcdReader.h"

#include <bit>
#include <cstdlib>

inline void CheckImport(const VcdReader::Result &r)
{
    if (!r.Error.empty()) {
        if (!r.Contents.samples.empty())
            std::abort(); // a refused file filled the contents
        return;
    }
    const ModelTable::ModelRow &model = ModelTable::Model(r.Contents.modelCode);
    const size_t size = r.Contents.samples.size();
    if (r.Contents.modelCode < 3 || r.Contents.modelCode > 8 || r.Samples == 0 ||
        r.Samples * 4 > size || r.PeriodPs < 2000)
        std::abort();
    if (r.Contents.importSamples == 0
            ? size != model.memorySize
            : (r.Contents.importSamples != r.Samples || size < model.memorySize ||
               !std::has_single_bit(size) || size > WSystem::MaxImportBytes))
        std::abort();
    CFile record;
    record.ModelCode = r.Contents.modelCode;
    record.BlockBuffer = r.Contents.block;
    if (!record.ParseBlock() || record.MemoryPercent != 0 ||
        record.ReportedEndAddress != record.PostTriggerBytes)
        std::abort();
    for (uint8_t row : record.DisplayOrder)
        if (row > 2 * model.channels)
            std::abort();
}
