// The kpx tool as a demo author runs it.
#include "kpx/kpx.h"
#include "tests/kpx/image_files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/wait.h>

namespace vantor::test {
namespace {

struct Result {
    int status;
    std::string out;
};

// Runs the tool with stdout captured (stderr goes to the test log).
Result runTool(const std::string& args) {
    const std::string command = std::string(KPX_TOOL_PATH) + " " + args;
    Result r{-1, {}};
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    char buffer[512];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
    const int raw = pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

class KpxTool : public ::testing::Test {
protected:
    void SetUp() override {
        kpx_verbose_off();
        // A 2 x 1 32-bit TGA: (10, 20, 30, 40) and (50, 60, 70, 80), RGBA.
        KpxPtr img(kpx_create(2, 1, 32, 0));
        const unsigned char px[8] = {10, 20, 30, 40, 50, 60, 70, 80};
        std::memcpy(img->image, px, 8);
        tga = dir.file("a.tga");
        kpx_save_tga(tga.c_str(), img.get(), 1);
        KpxPtr indexed(kpx_create(3, 1, 8, 256));
        indexed->image[1] = 1;
        indexed->palette[3] = 200;
        pcx = dir.file("p.pcx");
        kpx_save_pcx(pcx.c_str(), indexed.get());
        kpx_verbose_on();
    }
    TempDir dir;
    std::string tga, pcx;
};

TEST_F(KpxTool, InfoListsEveryFileAndFailsForBadOnes) {
    Result ok = runTool(tga + " " + pcx);
    EXPECT_EQ(ok.status, 2);  // no command
    Result r = runTool("info " + tga + " " + pcx);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, tga + ": 2x1, 32 bpp, 0 palette entries\n" + pcx + ": 3x1, 8 bpp, 256 palette entries\n");
    const std::string missing = dir.file("none.gif");
    r = runTool("info " + tga + " " + missing);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(missing + ": GIF: File not found\n"), std::string::npos);
}

TEST_F(KpxTool, ConvertWritesInspectionFormats) {
    const std::string pam = dir.file("a.pam");
    ASSERT_EQ(runTool("convert " + tga + " " + pam).status, 0);
    const std::string bytes = readFile(pam);
    const std::string header = "P7\nWIDTH 2\nHEIGHT 1\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    ASSERT_EQ(bytes.substr(0, header.size()), header);
    EXPECT_EQ(bytes.substr(header.size()), std::string("\x0A\x14\x1E\x28\x32\x3C\x46\x50", 8));

    const std::string ppm = dir.file("p.ppm");
    ASSERT_EQ(runTool("convert " + pcx + " " + ppm).status, 0);
    EXPECT_EQ(readFile(ppm), std::string("P6\n3 1\n255\n\0\0\0\xC8\0\0\0\0\0", 20));
}

TEST_F(KpxTool, ConvertBetweenImageFormats) {
    const std::string jpg = dir.file("a.jpg");
    ASSERT_EQ(runTool("convert " + tga + " " + jpg + " --quality 100").status, 0);
    KpxPtr back(kpx_load_jpg(jpg.c_str()));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bpp, 24);
    EXPECT_NEAR(back->image[0], 10, 12);  // red survives, alpha is dropped

    const std::string tga2 = dir.file("p.tga");
    ASSERT_EQ(runTool("convert " + pcx + " " + tga2 + " --rle").status, 0);
    KpxPtr rgb(kpx_load_tga(tga2.c_str()));
    ASSERT_TRUE(rgb);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(rgb->image), 9), std::string("\0\0\0\xC8\0\0\0\0\0", 9));
}

TEST_F(KpxTool, FailuresAndUsage) {
    EXPECT_EQ(runTool("convert " + dir.file("x.jpg") + " " + dir.file("y.ppm")).status, 1);
    EXPECT_EQ(runTool("convert " + tga + " " + dir.file("y.bmp")).status, 2);
    EXPECT_EQ(runTool("convert " + tga + " " + dir.file("y.jpg") + " --quality 101").status, 2);
    EXPECT_EQ(runTool("convert " + tga + " " + dir.file("no/dir/y.tga")).status, 1);
    Result help = runTool("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: kpx info FILE..."), std::string::npos);
    EXPECT_EQ(runTool("").status, 2);
}

TEST_F(KpxTool, MontagePutsEveryImageOnOneSheet) {
    const std::string sheet = dir.file("sheet.png");
    ASSERT_EQ(runTool("montage " + sheet + " " + tga + " " + pcx + " " + tga).status, 0);
    const std::string png = readFile(sheet);
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    auto be32 = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(png[at])) << 24 |
               static_cast<unsigned>(static_cast<unsigned char>(png[at + 1])) << 16 |
               static_cast<unsigned>(static_cast<unsigned char>(png[at + 2])) << 8 |
               static_cast<unsigned>(static_cast<unsigned char>(png[at + 3]));
    };
    // Three cells side by side in one row, each with room for its labels.
    EXPECT_GT(be32(16), 3u * 200);
    EXPECT_GT(be32(20), 180u);
    EXPECT_LT(be32(20), be32(16));

    // An unreadable image fails the whole sheet; a sheet that is not a PNG
    // name or has no images is a usage error.
    const std::string broken = dir.write("broken.pcx", "not a picture");
    EXPECT_EQ(runTool("montage " + dir.file("b.png") + " " + tga + " " + broken).status, 1);
    EXPECT_EQ(runTool("montage " + dir.file("b.jpg") + " " + tga).status, 2);
    EXPECT_EQ(runTool("montage " + dir.file("b.png")).status, 2);
}

}  // namespace
}  // namespace vantor::test
