// A tiny file may declare a picture of gigabytes. Every reader that can
// declare such a size refuses it with its own "Not enough memory for ..."
// message before it allocates for the pixels.
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "tests/kpx/image_files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace vantor::test {
namespace {

void put16(std::string& out, int v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void put16be(std::string& out, int v) {
    out += static_cast<char>((v >> 8) & 0xFF);
    out += static_cast<char>(v & 0xFF);
}

std::string padded(std::string bytes, std::size_t size) {
    bytes.resize(size, '\0');
    return bytes;
}

// 65535 x 65535 at 32 bits, 60 bytes.
std::string hugeTga() {
    std::string h(3, '\0');
    h[2] = 2;  // true colour, raw
    h += std::string(9, '\0');
    put16(h, 65535);
    put16(h, 65535);
    h += static_cast<char>(32);
    h += static_cast<char>(0x28);  // 8 alpha bits, top down
    return padded(h, 60);
}

// One image of 65535 x 65535 (8 bits, the format's only depth), 60 bytes; or
// the same as the second image after a 1 x 1 one.
std::string hugeGif(bool second) {
    std::string g = "GIF89a";
    put16(g, 1);
    put16(g, 1);
    g += static_cast<char>(0x80);  // a global table of 2 entries
    g += std::string(2, '\0');
    g += std::string(6, '\x7F');
    auto image = [&](int side) {
        g += ',';
        put16(g, 0);
        put16(g, 0);
        put16(g, side);
        put16(g, side);
        g += '\0';
        g += std::string("\x02\x02\x44\x01\x00", 5);  // minimum code size 2, one block: clear, 0, end
    };
    if (second) image(1);
    image(65535);
    g += ';';
    return padded(g, 60);
}

// Extents -32768..32766 on both axes (65535 x 65535), four 8-bit planes (32
// bits per pixel); the header alone is 128 bytes.
std::string hugePcx() {
    std::string p = {10, 5, 1, 8};
    put16(p, -32768);
    put16(p, -32768);
    put16(p, 32766);
    put16(p, 32766);
    p = padded(p, 65);
    p += static_cast<char>(4);
    put16(p, 32767);
    return padded(p, 130);
}

// A baseline header declaring 65500 x 65500 (the format's largest) in three
// components, 60 bytes with the scan header.
std::string hugeJpeg() {
    std::string j = "\xFF\xD8\xFF\xC0";
    put16be(j, 17);
    j += static_cast<char>(8);
    put16be(j, 65500);
    put16be(j, 65500);
    j += static_cast<char>(3);
    for (int c = 1; c <= 3; ++c) j += std::string{static_cast<char>(c), 0x11, 0};
    j += "\xFF\xDA";
    put16be(j, 12);
    j += static_cast<char>(3);
    for (int c = 1; c <= 3; ++c) j += std::string{static_cast<char>(c), 0};
    j += std::string{0, 63, 0};
    j = padded(j, 58);
    return j + "\xFF\xD9";
}

class SizeLimit : public ::testing::Test {
protected:
    void SetUp() override {
        ppd_clear_archive();
        kpx_error_clear();
    }
    // Loads the bytes with the reader; expects a refusal with the message.
    void expectRefused(kpximage* (*reader)(const char*), const char* name, const std::string& bytes,
                       const char* message) {
        SCOPED_TRACE(name);
        kpximage* img = reader(dir.write(name, bytes).c_str());
        EXPECT_EQ(img, nullptr);
        kpx_free(img);
        EXPECT_EQ(kpx_error_count(), 1);
        EXPECT_STREQ(kpx_error_last(), message);
        kpx_error_clear();
    }
    TempDir dir;
};

TEST_F(SizeLimit, EveryReaderRefusesAHugeDeclaredSizeWithItsOwnMessage) {
    ASSERT_EQ(hugeTga().size(), 60u);
    ASSERT_EQ(hugeGif(false).size(), 60u);
    ASSERT_EQ(hugeJpeg().size(), 60u);
    expectRefused(kpx_load_tga, "huge.tga", hugeTga(), "TGA: Not enough memory for kpximage");
    expectRefused(kpx_load_gif, "huge.gif", hugeGif(false), "GIF: Not enough memory for raster");
    expectRefused(kpx_load_gif, "second.gif", hugeGif(true), "GIF: Not enough memory for rastertemp");
    expectRefused(kpx_load_pcx, "huge.pcx", hugePcx(), "PCX: Not enough memory for data");
    expectRefused(kpx_load_jpg, "huge.jpg", hugeJpeg(), "JPG: Not enough memory for buffer");
}

TEST_F(SizeLimit, TheLimitIs256MebibytesOfPixels) {
    EXPECT_TRUE(kpx_size_allowed(8192, 8192, 4));
    EXPECT_FALSE(kpx_size_allowed(8192, 8193, 4));
    EXPECT_TRUE(kpx_size_allowed(65535, 4096, 1));
    EXPECT_FALSE(kpx_size_allowed(65535, 65535, 1));
    // Records beyond it fail as a failed allocation would.
    EXPECT_EQ(kpx_create(65535, 65535, 32, 0), nullptr);
    EXPECT_STREQ(kpx_error_last(), "KPX: Not enough memory for kpximage->image");
    kpximage* img = kpx_create(2, 2, 8, 0);
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(kpx_set_attributes(40000, 40000, 24, 0, img), 0);
    EXPECT_STREQ(kpx_error_last(), "KPX: Not enough memory for kpximage->image");
    kpx_free(img);
}

}  // namespace
}  // namespace vantor::test
