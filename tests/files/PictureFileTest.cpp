#include "files/PictureFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <vector>

namespace {

// 5 x 3 pixels, red top row, green middle, blue bottom; stride 6.
std::vector<uint32_t> Stripes()
{
    std::vector<uint32_t> px(6 * 3, 0xFF123456);
    for (int x = 0; x < 5; ++x) {
        px[static_cast<size_t>(x)] = 0xFFFF0000;
        px[static_cast<size_t>(6 + x)] = 0xFF00FF00;
        px[static_cast<size_t>(12 + x)] = 0xFF0000FF;
    }
    return px;
}

uint32_t Le32(const std::vector<uint8_t> &b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24;
}

TEST(PictureFile, BmpIsBottomUpTwentyFourBitWithPaddedRows)
{
    const std::vector<uint32_t> px = Stripes();
    const std::vector<uint8_t> bmp = PictureFile::Bmp({px, 5, 3, 6});
    const size_t row = 16; // 15 bytes padded to 16
    ASSERT_EQ(bmp.size(), 54 + 3 * row);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(Le32(bmp, 2), bmp.size());
    EXPECT_EQ(Le32(bmp, 18), 5u);
    EXPECT_EQ(Le32(bmp, 22), 3u);
    EXPECT_EQ(bmp[28], 24);
    // First stored row is the bottom one (blue), in B, G, R order.
    EXPECT_EQ(bmp[54], 0xFF);
    EXPECT_EQ(bmp[55], 0x00);
    EXPECT_EQ(bmp[56], 0x00);
    EXPECT_EQ(bmp[54 + 2 * row + 2], 0xFF); // top row red
    EXPECT_TRUE(PictureFile::Bmp({px, 0, 3, 6}).empty());
}

TEST(PictureFile, JpegDecodesToThePicture)
{
    std::vector<uint32_t> px(64 * 32, 0xFF000000);
    for (size_t i = 0; i < px.size() / 2; ++i)
        px[i] = 0xFFFFFFFF; // upper half white
    const std::vector<uint8_t> jpeg = PictureFile::Jpeg({px, 64, 32, 64});
    ASSERT_GT(jpeg.size(), 100u);

    jpeg_decompress_struct d{};
    jpeg_error_mgr err{};
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    ASSERT_EQ(jpeg_read_header(&d, TRUE), JPEG_HEADER_OK);
    d.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d);
    EXPECT_EQ(d.output_width, 64u);
    EXPECT_EQ(d.output_height, 32u);
    std::vector<uint8_t> rowBytes(64 * 3);
    std::vector<int> first;
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = rowBytes.data();
        jpeg_read_scanlines(&d, &row, 1);
        first.push_back(rowBytes[30]);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    EXPECT_GT(first[2], 240);
    EXPECT_LT(first[29], 15);
}

TEST(PictureFile, SaveReportsAFolderThatIsNotThere)
{
    const std::vector<uint32_t> px = Stripes();
    EXPECT_FALSE(PictureFile::Save(testing::TempDir() + "/none/x.bmp", PictureFile::Kind::Bmp,
                                   {px, 5, 3, 6}));
    const std::string path = testing::TempDir() + "/picture_test.jpg";
    EXPECT_TRUE(PictureFile::Save(path, PictureFile::Kind::Jpeg, {px, 5, 3, 6}));
    std::remove(path.c_str());
}

} // namespace
