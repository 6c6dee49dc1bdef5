// The text fatalError shows, the sound going silent first, and the real end:
// a box captioned "error" (printed to stderr when headless) and exit code 1.
#include "runtime/fatal_error.h"

#include <gtest/gtest.h>

#include <string>

namespace vantor::test {
namespace {

TEST(FatalErrorText, NumberIsAppendedAfterASpaceUnlessItIsMinusOne) {
    EXPECT_EQ(fatalErrorText("could not parse script", -1), "could not parse script");
    EXPECT_EQ(fatalErrorText("script: event not recognized in timeline line #", 7),
              "script: event not recognized in timeline line # 7");
    EXPECT_EQ(fatalErrorText("x", 0), "x 0");
    EXPECT_EQ(fatalErrorText("x", -2), "x -2");
    EXPECT_EQ(fatalErrorText("", 12), " 12");
}

TEST(FatalErrorText, HoldsAtMost199Characters) {
    const std::string longMessage(500, 'm');
    const std::string text = fatalErrorText(longMessage.c_str(), 123456);
    EXPECT_EQ(text.size(), 199u);
    EXPECT_EQ(text, std::string(199, 'm'));

    // The number is cut like the rest of the text.
    const std::string nearlyFull(195, 'n');
    EXPECT_EQ(fatalErrorText(nearlyFull.c_str(), 12345), nearlyFull + " 123");
}

TEST(FatalErrorCapture, CarriesTheTextAndShutsTheSoundDownFirst) {
    int shutdowns = 0;
    setFatalErrorSoundShutdown([&] { ++shutdowns; });
    ScopedFatalErrorCapture capture;
    try {
        fatalError("could not play stream", -1);
        FAIL() << "fatalError returned";
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.what(), "could not play stream");
    }
    EXPECT_EQ(shutdowns, 1);

    // Shut down once: a second error does not touch the sound again.
    EXPECT_THROW(fatalError("again", 2), FatalError);
    EXPECT_EQ(shutdowns, 1);
}

TEST(FatalErrorCapture, ReleasesTheWindowAfterTheSoundAndBeforeTheSink) {
    std::string order;
    setFatalErrorSoundShutdown([&] { order += "sound "; });
    setFatalErrorWindowRelease([&] { order += "window "; });
    const FatalErrorSink previous = setFatalErrorSink([&](const std::string& text) {
        order += "sink";
        throw FatalError(text);
    });
    EXPECT_THROW(fatalError("could not load image", -1), FatalError);
    EXPECT_EQ(order, "sound window sink");

    // Each is released once.
    order.clear();
    EXPECT_THROW(endWithError("again"), FatalError);
    EXPECT_EQ(order, "sink");
    setFatalErrorSink(previous);
}

// A program that recovers from what it catches keeps its sound and window
// through any number of errors, and gets them released again once it stops
// recovering.
TEST(FatalErrorCapture, ARecoveringProgramKeepsItsSoundAndWindow) {
    std::string order;
    setFatalErrorSoundShutdown([&] { order += "sound "; });
    setFatalErrorWindowRelease([&] { order += "window "; });
    {
        ScopedRecoveredFatalErrors recovered;
        EXPECT_THROW(fatalError("could not load image", -1), FatalError);
        EXPECT_THROW(endWithError("data/modul2.ppp: mesh chunk runs past the end of the data"), FatalError);
        EXPECT_EQ(order, "");
    }
    ScopedFatalErrorCapture capture;
    EXPECT_THROW(fatalError("could not play stream", -1), FatalError);
    EXPECT_EQ(order, "sound window ");
}

TEST(FatalErrorDeathTest, ShowsTheBoxAfterSilencingTheSoundAndExitsWithOne) {
    EXPECT_EXIT(
        {
            setFatalErrorSoundShutdown([] { std::fputs("sound closed\n", stderr); });
            fatalError("could not init sound", -1);
        },
        ::testing::ExitedWithCode(1), "sound closed\n\\[error\\] could not init sound");
    EXPECT_EXIT(fatalError("script: not a valid(1-maxtime) time in timeline line #", 3), ::testing::ExitedWithCode(1),
                "\\[error\\] script: not a valid\\(1-maxtime\\) time in timeline line # 3");
}

}  // namespace
}  // namespace vantor::test
