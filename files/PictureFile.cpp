#include "files/PictureFile.h"

#include "files/AtomicFile.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace {

void Put16(std::vector<uint8_t> &out, size_t at, uint32_t v)
{
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t> &out, size_t at, uint32_t v)
{
    Put16(out, at, v & 0xFFFF);
    Put16(out, at + 2, v >> 16);
}

bool Valid(const PictureFile::Picture &p)
{
    return p.Width > 0 && p.Height > 0 && p.Stride >= p.Width &&
           p.Pixels.size() >= static_cast<size_t>(p.Stride) * static_cast<size_t>(p.Height - 1) +
                                  static_cast<size_t>(p.Width);
}

} // namespace

std::vector<uint8_t> PictureFile::Bmp(const Picture &p)
{
    if (!Valid(p))
        return {};
    const size_t rowBytes = (static_cast<size_t>(p.Width) * 3 + 3) & ~size_t{3};
    const size_t header = 14 + 40;
    std::vector<uint8_t> out(header + rowBytes * static_cast<size_t>(p.Height));
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<uint32_t>(out.size()));
    Put32(out, 10, static_cast<uint32_t>(header));
    Put32(out, 14, 40);
    Put32(out, 18, static_cast<uint32_t>(p.Width));
    Put32(out, 22, static_cast<uint32_t>(p.Height)); // positive: bottom row first
    Put16(out, 26, 1);
    Put16(out, 28, 24);
    Put32(out, 34, static_cast<uint32_t>(rowBytes * static_cast<size_t>(p.Height)));
    Put32(out, 38, 2835); // 72 dpi
    Put32(out, 42, 2835);
    for (int y = 0; y < p.Height; ++y) {
        const uint32_t *src = p.Pixels.data() + static_cast<size_t>(y) * p.Stride;
        uint8_t *dst = out.data() + header + rowBytes * static_cast<size_t>(p.Height - 1 - y);
        for (int x = 0; x < p.Width; ++x) {
            dst[3 * x] = static_cast<uint8_t>(src[x]);
            dst[3 * x + 1] = static_cast<uint8_t>(src[x] >> 8);
            dst[3 * x + 2] = static_cast<uint8_t>(src[x] >> 16);
        }
    }
    return out;
}

std::vector<uint8_t> PictureFile::Jpeg(const Picture &p, int quality)
{
    if (!Valid(p))
        return {};
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(p.Width);
    cinfo.image_height = static_cast<JDIMENSION>(p.Height);
    // The words 0xAARRGGBB lie in memory as B, G, R, A.
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(const_cast<uint32_t *>(
            p.Pixels.data() + static_cast<size_t>(cinfo.next_scanline) * p.Stride));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

bool PictureFile::Save(const std::string &path, Kind kind, const Picture &picture)
{
    const std::vector<uint8_t> bytes = kind == Kind::Jpeg ? Jpeg(picture) : Bmp(picture);
    return !bytes.empty() && AtomicFile::Write(path, bytes);
}
