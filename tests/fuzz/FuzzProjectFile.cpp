// Project files are whatever a user names: any bytes must be either refused
// with the running record, model and samples untouched, or loaded into a
// record that writes the same file back.
#include "device/CFile.h"
#include "device/ModelTable.h"
#include "device/WSystem.h"
#include "files/ProjectFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The input is the head of a file: model byte and block. It is padded (or
// cut) to the length of its model so that the block checks are reached; with
// the top bit of the model byte set the block also gets a good seal where its
// length word puts it, so that mutated fields reach the checks behind it.
std::vector<uint8_t> FileOf(const uint8_t *data, size_t size)
{
    std::vector<uint8_t> file(data, data + size);
    if (size == 0)
        return file;
    const bool seal = file[0] & 0x80;
    const uint8_t code = file[0] & 0x7F;
    const size_t length = ProjectFile::FileSize(code);
    if (length == 0 || (file[0] & 0x40))
        return file; // an unknown model, or the length as given
    file[0] = code;
    file.resize(length, 0x5A);
    const size_t blockLength = file[1] | file[2] << 8;
    if (seal && blockLength + 4 <= CFile::BlockSize) {
        uint16_t sum = 0;
        for (size_t i = 0; i < blockLength; ++i)
            sum = static_cast<uint16_t>(sum + file[1 + i]);
        const uint8_t tail[4] = {0xAA, 0x55, static_cast<uint8_t>(sum),
                                 static_cast<uint8_t>(sum >> 8)};
        std::memcpy(file.data() + 1 + blockLength, tail, sizeof tail);
    }
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::vector<uint8_t> file = FileOf(data, size);
    ProjectFile::Contents contents;
    contents.modelCode = 77;
    const ProjectFile::Error error = ProjectFile::Parse(file, contents);
    if (error != ProjectFile::Error::None) {
        if (contents.modelCode != 77 || !contents.samples.empty())
            std::abort(); // a refused file filled the contents
        return 0;
    }
    if (file.size() != ProjectFile::FileSize(file[0]))
        std::abort();

    static WSystem system;
    CFile settings;
    ProjectFile::Apply(std::move(contents), settings, system);
    if (system.ModelCode != file[0] || settings.ModelCode != file[0] ||
        system.SampleBuffer.size() != file.size() - ProjectFile::HeaderSize)
        std::abort();
    const std::vector<uint8_t> again = ProjectFile::Image(settings, system.SampleBuffer);
    ProjectFile::Contents reread;
    if (ProjectFile::Parse(again, reread) != ProjectFile::Error::None ||
        std::memcmp(again.data() + ProjectFile::HeaderSize, file.data() + ProjectFile::HeaderSize,
                    file.size() - ProjectFile::HeaderSize) != 0)
        std::abort();
    return 0;
}
