#include "files/ProjectFile.h"

#include "device/ModelTable.h"
#include "device/WSystem.h"
#include "files/AtomicFile.h"
#include "files/FileName.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Reads the whole of a regular file of at most `limit` bytes; a larger file
// is read up to limit + 1 bytes, enough to tell that it is too long.
bool ReadWhole(const std::string &path, size_t limit, std::vector<uint8_t> &out)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    const size_t want = std::min(static_cast<size_t>(st.st_size), limit + 1);
    out.resize(want);
    size_t done = 0;
    bool ok = true;
    while (done < want) {
        const ssize_t n = ::read(fd, out.data() + done, want - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    out.resize(done);
    return ok;
}

} // namespace

size_t ProjectFile::FileSize(int modelCode)
{
    if (modelCode < 0 || modelCode >= ModelTable::ModelCount)
        return 0;
    return HeaderSize + ModelTable::Model(modelCode).memorySize;
}

ProjectFile::Error ProjectFile::Parse(std::span<const uint8_t> image, Contents &out)
{
    if (image.empty() || image[0] >= ModelTable::ModelCount)
        return Error::UnknownModel;
    const uint8_t code = image[0];
    if (image.size() != FileSize(code))
        return Error::WrongLength;

    // The block is tried on a scratch record, so that the caller's record is
    // touched only by Apply, with a block known to pass.
    CFile probe;
    probe.ModelCode = code;
    std::copy_n(image.begin() + 1, CFile::BlockSize, probe.BlockBuffer.begin());
    if (!probe.ParseBlock())
        return Error::BadBlock;

    out.modelCode = code;
    out.block = probe.BlockBuffer;
    out.samples.assign(image.begin() + HeaderSize, image.end());
    return Error::None;
}

ProjectFile::Error ProjectFile::Read(const std::string &path, Contents &out)
{
    size_t largest = 0;
    for (int code = 0; code < ModelTable::ModelCount; ++code)
        largest = std::max(largest, FileSize(code));
    std::vector<uint8_t> image;
    if (!ReadWhole(path, largest, image))
        return Error::CannotOpen;
    return Parse(image, out);
}

void ProjectFile::Apply(Contents &&contents, CFile &settings, WSystem &system)
{
    system.SelectModel(contents.modelCode);
    settings.ModelCode = contents.modelCode;
    settings.BlockBuffer = contents.block;
    settings.ParseBlock(); // passed on the scratch record in Parse
    if (contents.importSamples != 0)
        system.TakeImport(std::move(contents.samples), contents.importSamples);
    else if (contents.samples.size() == system.SampleBuffer.size())
        system.SampleBuffer.swap(contents.samples);
    contents.samples.clear();
}

ProjectFile::Error ProjectFile::Load(const std::string &path, CFile &settings, WSystem &system)
{
    Contents contents;
    const Error error = Read(path, contents);
    if (error == Error::None)
        Apply(std::move(contents), settings, system);
    return error;
}

std::vector<uint8_t> ProjectFile::Image(CFile &settings, std::span<const uint8_t> samples)
{
    const size_t size = FileSize(settings.ModelCode);
    if (size == 0 || samples.size() != size - HeaderSize)
        return {};
    settings.BuildBlock();
    std::vector<uint8_t> image(size);
    image[0] = settings.ModelCode;
    std::memcpy(image.data() + 1, settings.BlockBuffer.data(), CFile::BlockSize);
    std::memcpy(image.data() + HeaderSize, samples.data(), samples.size());
    return image;
}

ProjectFile::Error ProjectFile::Write(const std::string &path, CFile &settings,
                                      std::span<const uint8_t> samples)
{
    const std::vector<uint8_t> image = Image(settings, samples);
    if (image.empty())
        return Error::Mismatch;
    return AtomicFile::Write(path, image) ? Error::None : Error::CannotWrite;
}

ProjectFile::Error ProjectFile::Save(const std::string &path, CFile &settings,
                                     const WSystem &system)
{
    return Write(path, settings, system.SampleBuffer);
}

std::string ProjectFile::WithExtension(const std::string &name)
{
    return FileName::WithExtension(name, Extension);
}

std::string_view ProjectFile::ErrorText(Error error)
{
    switch (error) {
    case Error::None:
        return "";
    case Error::CannotOpen:
        return "The file cannot be read.";
    case Error::UnknownModel:
        return "The file does not name a known model.";
    case Error::WrongLength:
        return "The file is not as long as a project of its model.";
    case Error::BadBlock:
        return "The settings in the file are damaged.";
    case Error::CannotWrite:
        return "The file could not be written; an older file of that name is unchanged.";
    case Error::Mismatch:
        return "The sample memory does not belong to the selected model.";
    }
    return "";
}
