#include "device/AFile.h"

#include "device/CFile.h"
#include "device/ModelTable.h"
#include "trigger/TriggerWords.h"

#include <algorithm>

uint8_t AFile::ClockCode(const CFile &record)
{
    if (record.ClockSource != 1)
        return 0;
    const int row = record.RateRow;
    const int rateCode = row <= 3 ? 0 : row - 2;
    return static_cast<uint8_t>(23 | rateCode);
}

uint64_t AFile::SamplePeriodPs(const CFile &record)
{
    const auto rate = static_cast<size_t>(ModelTable::Model(record.ModelCode).rate);
    ModelTable::TimeValueEntry period = ModelTable::Row(record.RateRow).period[rate];
    if (record.ClockSource == 1)
        period = {ModelTable::Row(0).period[rate].value, ModelTable::Row(7).period[rate].unit};
    uint64_t ps = static_cast<uint64_t>(std::max(period.value, 0));
    for (int u = 0; u < period.unit; ++u)
        ps *= 1000;
    return ps;
}

void AFile::BuildRunImage(const CFile &record)
{
    Word.fill(0);
    Word[0] = static_cast<uint16_t>(6 | (ClockCode(record) << 8));
    TriggerWords::Encode(record, SamplePeriodPs(record), Word);
    Word[20] = static_cast<uint16_t>(record.PreTriggerBytes);
    Word[21] = static_cast<uint16_t>(record.PreTriggerBytes >> 16);
    Word[22] = static_cast<uint16_t>(record.PostTriggerBytes);
    Word[23] = static_cast<uint16_t>(record.PostTriggerBytes >> 16);

    ByteCursor = 0;
    for (uint16_t w : Word) {
        buffer[static_cast<size_t>(ByteCursor++)] = static_cast<uint8_t>(w);
        buffer[static_cast<size_t>(ByteCursor++)] = static_cast<uint8_t>(w >> 8);
    }
}

void AFile::ReadTriggerReply(CFile &record)
{
    for (size_t i = 0; i < ReplyWord.size(); ++i)
        ReplyWord[i] = static_cast<uint16_t>(buffer[2 * i] | (buffer[2 * i + 1] << 8));
    const uint32_t address = (uint32_t{ReplyWord[2]} << 16) | ReplyWord[1];
    record.ReportedEndAddress = address;
    record.ExportTriggerAddress = address;
}
