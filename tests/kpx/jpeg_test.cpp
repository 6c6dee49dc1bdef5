// The JPEG reader against stb_image (within one step), the writer, and the
// memory source on damaged files.
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "tests/kpx/image_files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace vantor::test {
namespace {

class JpegReader : public ::testing::Test {
protected:
    void SetUp() override {
        ppd_clear_archive();
        kpx_error_clear();
    }
    KpxPtr load(const std::string& bytes) { return KpxPtr(kpx_load_jpg(dir.write("t.jpg", bytes).c_str())); }

    // Every channel within `tolerance` of the oracle's.
    void expectMatchesOracle(const std::string& bytes, int channels, int tolerance = 1) {
        KpxPtr img = load(bytes);
        ASSERT_TRUE(img) << kpx_error_last();
        const Picture ref = stbDecode(bytes, channels);
        ASSERT_EQ(ref.width, img->width);
        ASSERT_EQ(ref.height, img->height);
        EXPECT_EQ(img->bpp, channels * 8);
        int worst = 0;
        for (int y = 0; y < ref.height; ++y)
            for (int x = 0; x < ref.width; ++x) {
                const Rgba c = recordPixel(img.get(), x, y);
                const int ours[3] = {c.r, c.g, c.b};
                for (int k = 0; k < channels; ++k) worst = std::max(worst, std::abs(ours[k] - ref.at(x, y)[k]));
            }
        EXPECT_LE(worst, tolerance);
    }
    TempDir dir;
};

// Smooth colour fields, the kind of content photographs and renders carry.
Picture smoothPicture(int width, int height) {
    Picture pic;
    pic.width = width;
    pic.height = height;
    pic.channels = 3;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            pic.pixels.push_back(static_cast<std::uint8_t>(40 + x * 170 / width));
            pic.pixels.push_back(static_cast<std::uint8_t>(30 + y * 190 / height));
            pic.pixels.push_back(static_cast<std::uint8_t>(60 + (x + y) * 120 / (width + height)));
        }
    return pic;
}

TEST_F(JpegReader, ColourGreyAndProgressiveMatchOracle) {
    // Grey samples agree within one step. In colour files the two decoders'
    // one-step differences in luma and chroma add up in the conversion to
    // red, green and blue, so two steps are allowed there.
    expectMatchesOracle(jpegFile(testPicture(33, 17, 1, 3), 80, false), 1);
    expectMatchesOracle(jpegFile(smoothPicture(67, 45), 90, false), 3, 2);
    expectMatchesOracle(jpegFile(smoothPicture(40, 24), 50, true), 3, 2);
    // Saturated colour noise: the decoders' colour conversions round apart
    // by a few steps on a handful of samples.
    expectMatchesOracle(jpegFile(testPicture(67, 45, 3, 1), 90, false), 3, 3);
    // Subsampled chroma: the two decoders upsample differently, so only
    // closeness is asked for here.
    expectMatchesOracle(jpegFile(testPicture(67, 45, 3, 1), 90, false, true), 3, 16);

    KpxPtr grey = load(jpegFile(testPicture(8, 8, 1, 4), 75, false));
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->bpp, 8);
    EXPECT_EQ(grey->colors, 256);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(grey->palette[3 * i + 2], i);
}

TEST_F(JpegReader, RefusalsReleaseEverything) {
    EXPECT_FALSE(load(jpegFile(testPicture(8, 8, 4, 5), 75, false)));
    EXPECT_STREQ(kpx_error_last(), "JPG: Unsupported bitdepth!");
    EXPECT_FALSE(load(std::string(1000, '\x0A')));
    EXPECT_STREQ(kpx_error_last(), "JPG: Unsupported file format");
    EXPECT_FALSE(load(""));
    EXPECT_STREQ(kpx_error_last(), "JPG: Unsupported file format");
    EXPECT_FALSE(kpx_load_jpg(dir.file("missing.jpg").c_str()));
    EXPECT_STREQ(kpx_error_last(), "JPG: File not found");
    EXPECT_EQ(kpx_error_count(), 4);
}

TEST_F(JpegReader, TruncatedFilesEndWithoutReadingPastTheData) {
    const std::string whole = jpegFile(testPicture(64, 64, 3, 6), 90, false);
    // Cut in the entropy-coded data: a warning, and the image comes back.
    KpxPtr cut = load(whole.substr(0, whole.size() * 2 / 3));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->width, 64);
    // Cut inside the header: no image.
    EXPECT_FALSE(load(whole.substr(0, 40)));
}

TEST_F(JpegReader, MemorySourceReusedForALargerFileGrowsItsBuffer) {
    // A decompressor kept for several files: the source installed for a tiny
    // file is installed again for a larger one, whose bytes must all fit.
    const std::string big = jpegFile(testPicture(48, 40, 3, 8), 90, false);
    ppd_file* tiny = ppd_open(dir.write("tiny.jpg", "\xFF\xD8").c_str());
    ppd_file* large = ppd_open(dir.write("large.jpg", big).c_str());
    ASSERT_TRUE(tiny && large);

    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    kpx_jpeg_memory_src(&cinfo, tiny);
    kpx_jpeg_memory_src(&cinfo, large);
    ASSERT_EQ(jpeg_read_header(&cinfo, TRUE), JPEG_HEADER_OK);
    jpeg_start_decompress(&cinfo);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(cinfo.output_width) * cinfo.output_components);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW p = row.data();
        jpeg_read_scanlines(&cinfo, &p, 1);
    }
    EXPECT_EQ(cinfo.output_width, 48u);
    EXPECT_EQ(cinfo.output_height, 40u);
    EXPECT_EQ(jerr.num_warnings, 0);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    ppd_close(tiny);
    ppd_close(large);
}

TEST_F(JpegReader, WriterRoundTripsAndRefusesIndexedImages) {
    const Picture pic = testPicture(40, 30, 3, 7);
    KpxPtr rgb(kpx_create(40, 30, 24, 0));
    std::copy(pic.pixels.begin(), pic.pixels.end(), rgb->image);
    const std::string path = dir.file("out.jpg");
    kpx_set_jpg_quality(100);
    EXPECT_EQ(kpx_save_jpg(path.c_str(), rgb.get()), 0);
    kpx_set_jpg_quality(75);
    EXPECT_EQ(kpx_error_count(), 0);
    KpxPtr back(kpx_load_jpg(path.c_str()));
    ASSERT_TRUE(back);
    // Flat areas survive a quality-100 round trip closely.
    for (int x = 0; x < 40; ++x) {
        const Rgba c = recordPixel(back.get(), x, 15);
        const std::uint8_t* p = pic.at(x, 15);
        EXPECT_NEAR(c.r, p[0], 12);
        EXPECT_NEAR(c.g, p[1], 12);
        EXPECT_NEAR(c.b, p[2], 12);
    }

    // 32 bits: bytes 1, 2, 3 are the colour, byte 0 is skipped.
    KpxPtr argb(kpx_create(16, 16, 32, 0));
    for (int i = 0; i < 256; ++i) {
        argb->image[4 * i] = 0;
        argb->image[4 * i + 1] = 200;
        argb->image[4 * i + 2] = 100;
        argb->image[4 * i + 3] = 50;
    }
    kpx_save_jpg(path.c_str(), argb.get());
    KpxPtr flat(kpx_load_jpg(path.c_str()));
    ASSERT_TRUE(flat);
    const Rgba c = recordPixel(flat.get(), 8, 8);
    EXPECT_NEAR(c.r, 200, 3);
    EXPECT_NEAR(c.g, 100, 3);
    EXPECT_NEAR(c.b, 50, 3);

    KpxPtr indexed(kpx_create(4, 4, 8, 256));
    EXPECT_EQ(kpx_save_jpg(dir.file("no.jpg").c_str(), indexed.get()), 0);
    EXPECT_STREQ(kpx_error_last(), "JPG: Indexed color images not supported");
    KpxPtr hi(kpx_create(4, 4, 16, 0));
    kpx_save_jpg(dir.file("no.jpg").c_str(), hi.get());
    EXPECT_STREQ(kpx_error_last(), "JPG: Unknown image type");
    kpx_save_jpg((dir.file("no-such-dir") + "/x.jpg").c_str(), rgb.get());
    EXPECT_STREQ(kpx_error_last(), "JPG: Cannot open file for writing");
    // An empty image cannot be coded: the save fails and leaves no file.
    KpxPtr empty(kpx_create(0, 4, 24, 0));
    const std::string emptyPath = dir.file("empty.jpg");
    kpx_save_jpg(emptyPath.c_str(), empty.get());
    EXPECT_STREQ(kpx_error_last(), "JPG: Error while writing file");
    EXPECT_FALSE(std::ifstream(emptyPath).good());
}

}  // namespace
}  // namespace vantor::test
