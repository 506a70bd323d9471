// A Value Change Dump is whatever another tool (or a user) wrote: any bytes
// must give either a reason to refuse them with nothing filled in, or one
// model's whole sample memory with a settings block that passes its checks.
#include "device/CFile.h"
#include "device/ModelTable.h"
#include "files/VcdReader.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const VcdReader::Result r =
        VcdReader::Parse(std::string_view(reinterpret_cast<const char *>(data), size));
    if (!r.Error.empty()) {
        if (!r.Contents.samples.empty())
            std::abort(); // a refused file filled the contents
        return 0;
    }
    const ModelTable::ModelRow &model = ModelTable::Model(r.Contents.modelCode);
    if (r.Contents.modelCode < 3 || r.Contents.modelCode > 8 ||
        r.Contents.samples.size() != model.memorySize || r.Samples == 0 ||
        r.Samples * 4 > model.memorySize || r.PeriodPs < 2000)
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
    return 0;
}
