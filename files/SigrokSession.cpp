#include "files/SigrokSession.h"

#include "device/WSystem.h"
#include "files/AtomicFile.h"
#include "files/FileName.h"
#include "files/ProjectFile.h"

#include <zip.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

__extension__ typedef unsigned __int128 Wide;

struct ZipCloser
{
    void operator()(zip_t *z) const { zip_discard(z); }
};
struct FileCloser
{
    void operator()(zip_file_t *f) const { zip_fclose(f); }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;
using ZipFile = std::unique_ptr<zip_file_t, FileCloser>;

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool Number(std::string_view s, uint64_t &out)
{
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() && !s.empty();
}

// Reads at most `limit` bytes of an entry; false when it cannot be read.
bool ReadEntry(zip_t *z, zip_uint64_t index, uint64_t limit, std::vector<uint8_t> &out)
{
    const ZipFile f(zip_fopen_index(z, index, 0));
    if (!f)
        return false;
    std::array<uint8_t, 65536> buffer;
    for (;;) {
        const zip_int64_t n = zip_fread(f.get(), buffer.data(), buffer.size());
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        const auto take = static_cast<size_t>(std::min<uint64_t>(
            static_cast<uint64_t>(n), limit - std::min<uint64_t>(limit, out.size())));
        out.insert(out.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(take));
        if (out.size() >= limit)
            return true;
    }
}

} // namespace

bool SigrokSession::IsSessionName(std::string_view path)
{
    return FileName::EndsWithExtension(path, Extension);
}

std::string SigrokSession::RateText(uint64_t hertz)
{
    if (hertz != 0 && hertz % 1000000000 == 0)
        return std::to_string(hertz / 1000000000) + " GHz";
    if (hertz != 0 && hertz % 1000000 == 0)
        return std::to_string(hertz / 1000000) + " MHz";
    if (hertz != 0 && hertz % 1000 == 0)
        return std::to_string(hertz / 1000) + " kHz";
    return std::to_string(hertz) + " Hz";
}

uint64_t SigrokSession::RateOf(std::string_view text)
{
    text = Trim(text);
    size_t digits = 0;
    while (digits < text.size() &&
           ((text[digits] >= '0' && text[digits] <= '9') || text[digits] == '.'))
        ++digits;
    const std::string_view number = text.substr(0, digits);
    std::string_view unit = Trim(text.substr(digits));
    uint64_t scale = 1;
    if (unit == "GHz" || unit == "ghz")
        scale = 1000000000;
    else if (unit == "MHz" || unit == "mhz")
        scale = 1000000;
    else if (unit == "kHz" || unit == "khz" || unit == "KHz")
        scale = 1000;
    else if (!(unit.empty() || unit == "Hz" || unit == "hz"))
        return 0;
    const size_t dot = number.find('.');
    uint64_t whole = 0;
    if (!Number(number.substr(0, dot), whole) || whole > UINT64_MAX / scale)
        return 0;
    uint64_t rate = whole * scale;
    if (dot != std::string_view::npos) {
        // Decimals of the unit, as far as they reach whole hertz.
        uint64_t place = scale;
        for (char c : number.substr(dot + 1)) {
            if (c < '0' || c > '9')
                return 0;
            place /= 10;
            rate += static_cast<uint64_t>(c - '0') * place;
        }
    }
    return rate;
}

VcdReader::Result SigrokSession::Parse(std::span<const uint8_t> archive)
{
    VcdReader::Result result;
    const auto refuse = [&result](std::string why) {
        result.Error = std::move(why);
        return result;
    };
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(archive.data(), archive.size(), 0, &error);
    if (source == nullptr)
        return refuse("not a sigrok session: the archive cannot be read");
    const Zip z(zip_open_from_source(source, ZIP_RDONLY, &error));
    zip_error_fini(&error);
    if (!z) {
        zip_source_free(source);
        return refuse("not a sigrok session: no zip archive");
    }

    // The metadata: the first device's probes, rate and sample size.
    const zip_int64_t meta = zip_name_locate(z.get(), "metadata", 0);
    std::vector<uint8_t> text;
    if (meta < 0 || !ReadEntry(z.get(), static_cast<zip_uint64_t>(meta), 1 << 20, text))
        return refuse("not a sigrok session: no metadata");
    std::string section;
    std::string captureFile;
    uint64_t probes = 0, rate = 0, unitSize = 1, analog = 0;
    std::map<uint64_t, std::string> names;
    const std::string_view all(reinterpret_cast<const char *>(text.data()), text.size());
    for (size_t at = 0; at < all.size();) {
        size_t end = all.find('\n', at);
        if (end == std::string_view::npos)
            end = all.size();
        const std::string_view line = Trim(all.substr(at, end - at));
        at = end + 1;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = std::string(line.substr(1, line.size() - 2));
            continue;
        }
        const size_t eq = line.find('=');
        if (section != "device 1" || eq == std::string_view::npos)
            continue;
        const std::string_view key = Trim(line.substr(0, eq));
        const std::string_view value = Trim(line.substr(eq + 1));
        uint64_t n = 0;
        if (key == "capturefile")
            captureFile = std::string(value.substr(0, 64));
        else if (key == "total probes" && !Number(value, probes))
            return refuse("metadata: \"total probes\" is no number");
        else if (key == "total analog")
            Number(value, analog);
        else if (key == "samplerate" && (rate = RateOf(value)) == 0)
            return refuse("metadata: \"" + std::string(value.substr(0, 40)) +
                          "\" is no sample rate");
        else if (key == "unitsize" && (!Number(value, unitSize) || unitSize < 1 || unitSize > 8))
            return refuse("metadata: \"unitsize\" must be 1 to 8");
        else if (key.starts_with("probe") && Number(key.substr(5), n) && n >= 1 && n <= 64)
            names[n] = std::string(value.substr(0, 64));
    }
    if (captureFile.empty())
        return refuse("metadata: no logic data (\"capturefile\")");
    if (rate == 0)
        return refuse("metadata: no sample rate");
    if (probes == 0 && !names.empty())
        probes = names.rbegin()->first;
    if (probes == 0)
        return refuse("metadata: no probes");
    if (probes > 8 * unitSize)
        return refuse("metadata: more probes than bits in a sample");
    if (probes > 32)
        result.Notes.push_back("The session has " + std::to_string(probes) +
                               " probes; the first 32 are kept.");
    if (analog != 0)
        result.Notes.push_back(std::to_string(analog) + " analog channels are left out.");
    const int channels = static_cast<int>(std::min<uint64_t>(probes, 32));

    // The logic chunks in their order: "<capturefile>-1", "-2", ... or the
    // one file itself.
    std::map<uint64_t, zip_uint64_t> chunks;
    const zip_int64_t count = zip_get_num_entries(z.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *name = zip_get_name(z.get(), static_cast<zip_uint64_t>(i), 0);
        if (name == nullptr)
            continue;
        const std::string_view n(name);
        uint64_t k = 0;
        if (n == captureFile)
            chunks[0] = static_cast<zip_uint64_t>(i);
        else if (n.size() > captureFile.size() + 1 && n.starts_with(captureFile) &&
                 n[captureFile.size()] == '-' && Number(n.substr(captureFile.size() + 1), k) &&
                 k > 0)
            chunks[k] = static_cast<zip_uint64_t>(i);
    }
    std::vector<uint8_t> logic;
    for (const auto &chunk : chunks) {
        if (!ReadEntry(z.get(), chunk.second, MaxLogicBytes, logic))
            return refuse("the logic data cannot be unpacked");
        if (logic.size() >= MaxLogicBytes) {
            result.Notes.push_back("The logic data is longer than " +
                                   std::to_string(MaxLogicBytes >> 20) +
                                   " MiB; the rest is left out.");
            break;
        }
    }
    const uint64_t samples = logic.size() / unitSize;
    if (samples == 0)
        return refuse("the session holds no samples");
    const uint32_t keepBits = channels >= 32 ? ~0u : (1u << channels) - 1;
    auto word = [&](uint64_t i) {
        uint64_t w = 0;
        std::memcpy(&w, logic.data() + i * unitSize, static_cast<size_t>(unitSize));
        return static_cast<uint32_t>(w) & keepBits;
    };

    // The grid: the session's own period when the analyzers have it, else
    // the nearest finer one. (Its samples are all there is: a finer grid
    // than the session's would only repeat them.)
    const Wide fileFs = Wide{1000000000000000ULL} / rate;
    const Wide wantFs = fileFs;
    bool exact = false;
    uint64_t periodPs = VcdReader::RowPeriodPs(
        wantFs > UINT64_MAX ? UINT64_MAX : static_cast<uint64_t>(wantFs), exact);
    // Samples at `ps`: the session's length over the new period, rounded up.
    auto samplesAt = [&](uint64_t ps) {
        return static_cast<uint64_t>((Wide{samples} * 1000000000000ULL + Wide{rate} * ps - 1) /
                                     (Wide{rate} * ps));
    };
    if (samplesAt(periodPs) > WSystem::MaxImportSamples) {
        const uint64_t fitting = VcdReader::FinestFittingPeriodPs(
            [&](uint64_t ps) { return samplesAt(ps) <= WSystem::MaxImportSamples; });
        result.Notes.push_back(
            "At " + VcdReader::PeriodText(periodPs) + " the capture would be " +
            std::to_string(samplesAt(periodPs)) + " samples, more than the " +
            std::to_string(WSystem::MaxImportSamples) + " an import holds: sampled every " +
            VcdReader::PeriodText(fitting) + " instead.");
        periodPs = fitting;
    }
    const bool oneForOne = Wide{rate} * periodPs == 1000000000000ULL;
    if (!oneForOne) {
        result.SpacingNote = "The session's rate of " + RateText(rate) +
                             " is no sample rate of the analyzers: sampled every " +
                             VcdReader::PeriodText(periodPs) + ".";
        result.Notes.push_back(result.SpacingNote);
    }

    std::vector<VcdScan::Variable> variables;
    for (int c = 0; c < channels; ++c) {
        VcdScan::Variable v;
        const auto named = names.find(static_cast<uint64_t>(c) + 1);
        v.Name = named != names.end() && !named->second.empty() ? named->second
                                                                : "D" + std::to_string(c);
        v.FirstBit = c;
        variables.push_back(std::move(v));
    }
    VcdReader::Place(variables, periodPs, samplesAt(periodPs), result,
                     [&](std::span<uint8_t> ring, uint64_t keep, uint32_t depth) {
                         uint32_t w = 0;
                         for (uint64_t n = 0; n < depth; ++n) {
                             if (n < keep) {
                                 // The session's value at this sample's time.
                                 const uint64_t from =
                                     oneForOne ? n
                                               : static_cast<uint64_t>(Wide{n} * periodPs * rate /
                                                                       1000000000000ULL);
                                 w = word(std::min(from, samples - 1));
                             }
                             std::memcpy(ring.data() + 4 * n, &w, 4);
                         }
                         return std::string();
                     });
    return result;
}

VcdReader::Result SigrokSession::Read(const std::string &path)
{
    VcdReader::Result result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st
    {
    };
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0) {
        if (fd >= 0)
            ::close(fd);
        result.Error = std::string(ProjectFile::ErrorText(ProjectFile::Error::CannotOpen));
        return result;
    }
    const auto size = static_cast<size_t>(st.st_size);
    void *map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED) {
        result.Error = std::string(ProjectFile::ErrorText(ProjectFile::Error::CannotOpen));
        return result;
    }
    result = Parse(std::span(static_cast<const uint8_t *>(map), size));
    ::munmap(map, size);
    return result;
}

std::vector<uint8_t> SigrokSession::Archive(const SampleTrace &trace)
{
    // The probes: every channel a signal reads, named after it.
    const uint32_t used = trace.ChannelMask();
    const int probes = used == 0 ? 1 : 32 - std::countl_zero(used);
    std::vector<std::string> names(static_cast<size_t>(probes));
    for (int c = 0; c < probes; ++c)
        names[static_cast<size_t>(c)] = "CH" + std::to_string(c);
    for (const SampleTrace::Signal &s : trace.Signals)
        for (size_t k = 0; k < s.Channels.size(); ++k)
            if (s.Channels[k] < probes)
                names[s.Channels[k]] =
                    s.Width() == 1 ? s.Name
                                   : s.Name + std::to_string(s.Width() - 1 - static_cast<int>(k));
    const size_t unit = probes <= 8 ? 1 : probes <= 16 ? 2 : 4;
    const uint64_t hertz = trace.PeriodPs != 0 ? 1000000000000ULL / trace.PeriodPs : 1;

    std::string metadata = "[global]\nsigrok version=0.5.2\n\n[device 1]\ncapturefile=logic-1\n";
    metadata += "total probes=" + std::to_string(probes) + "\n";
    metadata += "samplerate=" + RateText(hertz) + "\n";
    metadata += "total analog=0\n";
    for (int c = 0; c < probes; ++c)
        metadata += "probe" + std::to_string(c + 1) + "=" + names[static_cast<size_t>(c)] + "\n";
    metadata += "unitsize=" + std::to_string(unit) + "\n";

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *out = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (out == nullptr)
        return {};
    zip_source_keep(out);
    std::vector<uint8_t> image;
    {
        zip_t *z = zip_open_from_source(out, ZIP_TRUNCATE, &error);
        if (z == nullptr) {
            zip_source_free(out);
            return {};
        }
        // The buffers are copied so they outlive the calls below.
        std::vector<std::vector<uint8_t>> held;
        auto add = [&](const std::string &name, std::vector<uint8_t> bytes) {
            held.push_back(std::move(bytes));
            zip_source_t *s = zip_source_buffer(z, held.back().data(), held.back().size(), 0);
            return s != nullptr && zip_file_add(z, name.c_str(), s, ZIP_FL_OVERWRITE) >= 0;
        };
        held.reserve(3 + trace.Words.size() * unit / (4u << 20));
        bool ok = add("version", {'2'});
        ok = ok && add("metadata", std::vector<uint8_t>(metadata.begin(), metadata.end()));
        constexpr size_t ChunkSamples = (size_t{4} << 20);
        for (size_t first = 0, k = 1; ok && first < trace.Words.size();
             first += ChunkSamples / unit, ++k) {
            const size_t n = std::min(ChunkSamples / unit, trace.Words.size() - first);
            std::vector<uint8_t> bytes(n * unit);
            for (size_t i = 0; i < n; ++i)
                std::memcpy(bytes.data() + i * unit, &trace.Words[first + i], unit);
            ok = add("logic-1-" + std::to_string(k), std::move(bytes));
        }
        if (!ok || zip_close(z) != 0) {
            zip_discard(z);
            zip_source_free(out);
            return {};
        }
    }
    zip_stat_t st;
    if (zip_source_stat(out, &st) == 0 && zip_source_open(out) == 0) {
        image.resize(static_cast<size_t>(st.size));
        if (zip_source_read(out, image.data(), image.size()) != static_cast<zip_int64_t>(st.size))
            image.clear();
        zip_source_close(out);
    }
    zip_source_free(out);
    return image;
}

bool SigrokSession::Write(const std::string &path, const SampleTrace &trace)
{
    const std::vector<uint8_t> image = Archive(trace);
    return !image.empty() && AtomicFile::Write(path, image);
}
