// The page's address and the frames it draws to a picture: what the page's
// program takes from its fragment (anything it cannot read is refused with a
// message naming it), and the frames before each picture as vantor-capture
// --at draws them.
#include "web/show/page_request.h"
#include "web/show/picture_frames.h"

#include <gtest/gtest.h>

namespace {

TEST(PageRequest, ReadsTimesRateAndSize) {
    PageRequest r;
    std::string error;
    ASSERT_TRUE(readPageRequest("", r, &error));
    EXPECT_TRUE(r.at.empty());
    EXPECT_EQ(r.fps, 60);
    EXPECT_EQ(r.width, 640);
    EXPECT_EQ(r.height, 480);

    ASSERT_TRUE(readPageRequest("#at=0,1000,1000,239999&fps=5&size=320x240", r, &error)) << error;
    EXPECT_EQ(r.at, (std::vector<int>{0, 1000, 1000, 239999}));
    EXPECT_EQ(r.fps, 5);
    EXPECT_EQ(r.width, 320);
    EXPECT_EQ(r.height, 240);

    // A second request starts from the defaults again.
    ASSERT_TRUE(readPageRequest("at=5", r, &error));
    EXPECT_EQ(r.fps, 60);
}

TEST(PageRequest, RefusesWhatItCannotRead) {
    const char* bad[] = {"#at=",        "#at=12a",     "#at=-5",     "#at=2000,1000", "#at=99999999999",
                         "#fps=0",      "#fps=1001",   "#fps=",      "#size=640",     "#size=0x480",
                         "#size=x",     "#size=5000x5", "#colour=red", "#at=1&&fps=2", "#at=1,,2"};
    for (const char* fragment : bad) {
        PageRequest r;
        std::string error;
        EXPECT_FALSE(readPageRequest(fragment, r, &error)) << fragment;
        EXPECT_NE(error.find("address"), std::string::npos) << fragment;
    }
    PageRequest r;
    std::string error;
    readPageRequest("#colour=red", r, &error);
    EXPECT_NE(error.find("\"colour\""), std::string::npos) << error;
}

// The times drawn for the pictures at `times`, a picture marked with a '*'.
std::vector<std::string> drawn(int start, int fps, std::vector<int> times) {
    PictureFrames frames(start, fps, std::move(times));
    std::vector<std::string> out;
    while (!frames.done()) {
        bool picture = false;
        const int time = frames.next(&picture);
        out.push_back(std::to_string(time) + (picture ? "*" : ""));
    }
    return out;
}

TEST(PictureFrames, DrawsEveryFrameOfTheRateBeforeEachPicture) {
    using V = std::vector<std::string>;
    // On the grid: the picture is that frame, drawn once.
    EXPECT_EQ(drawn(0, 5, {600}), (V{"0", "200", "400", "600*"}));
    // Between two frames of the rate: the picture comes after the frame before it
    // and the grid goes on after it.
    EXPECT_EQ(drawn(0, 5, {300, 500}), (V{"0", "200", "300*", "400", "500*"}));
    // The same time twice is one frame after the other; a picture at DEMOSTART is the first frame.
    EXPECT_EQ(drawn(1000, 10, {1000, 1000, 1150}), (V{"1000*", "1000*", "1100", "1150*"}));
    // A rate that does not divide a second: frame n lies at start + n * 1000 / fps, without drift.
    const V third = drawn(0, 3, {2000});
    EXPECT_EQ(third, (V{"0", "333", "666", "1000", "1333", "1666", "2000*"}));
}

}  // namespace
