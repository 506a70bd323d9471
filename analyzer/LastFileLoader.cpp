#include "analyzer/LastFileLoader.h"

#include "device/CFile.h"
#include "device/WSystem.h"

#include <algorithm>
#include <fstream>

namespace {

size_t ReadUpTo(std::ifstream &in, uint8_t *to, size_t count)
{
    if (count == 0 || !in)
        return 0;
    in.read(reinterpret_cast<char *>(to), static_cast<std::streamsize>(count));
    return static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0));
}

} // namespace

LastFileLoader::Result LastFileLoader::Load(const std::string &path, CFile &settings,
                                            WSystem &system)
{
    Result r;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
        return r;
    r.opened = true;

    uint8_t code = 0;
    if (ReadUpTo(in, &code, 1) != 1)
        return r;
    r.modelRead = true;
    system.SelectModel(code); // an unknown code selects Demo and stores 0
    settings.ModelCode = static_cast<uint8_t>(system.ModelCode);
    settings.ResetSettings();

    // The block is read over a cleared buffer so that a short file never
    // mixes in the bytes of an earlier block.
    settings.BlockBuffer.fill(0);
    r.blockBytes = ReadUpTo(in, settings.BlockBuffer.data(), CFile::BlockSize);
    r.sampleBytes = ReadUpTo(in, system.SampleBuffer.data(), system.SampleBuffer.size());
    r.blockAccepted = r.blockBytes == CFile::BlockSize && settings.ParseBlock();
    return r;
}
