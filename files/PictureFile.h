#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Window pictures as files: a BMP (24 bits per pixel, rows bottom-up) or a
// JPEG (quality 80, through libjpeg-turbo), written through AtomicFile. The
// pixels are 32-bit words 0xAARRGGBB, `stride` words per row, top row first:
// the layout of a QImage in Format_RGB32 and of a TBitmap.
// Cost: one encoded copy of the picture in memory (width x height x 3 bytes
// for a BMP, far less for a JPEG).
class PictureFile
{
public:
    enum class Kind { Bmp = 1, Jpeg = 2 };
    static constexpr int JpegQuality = 80;

    // Where the capture window draws comment line i.
    static constexpr int CommentX = 10;
    static constexpr int CommentY(int line) { return 10 + 20 * line; }
    static constexpr int CommentPointSize = 12;

    struct Picture
    {
        std::span<const uint32_t> Pixels;
        int Width = 0;
        int Height = 0;
        int Stride = 0; // words per row
    };

    static std::vector<uint8_t> Bmp(const Picture &picture);
    static std::vector<uint8_t> Jpeg(const Picture &picture, int quality = JpegQuality);
    // The picture as a file of `kind`; false when it could not be written
    // (an older file of that name is then unchanged).
    static bool Save(const std::string &path, Kind kind, const Picture &picture);
};
