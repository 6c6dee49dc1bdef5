// The 60 Hz step grid and the stepper that effects catch up to it with.
#include "runtime/frame_steps.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using frame_steps::stepAt;
using frame_steps::stepTime;

// The grid's steps are the frames of a 60 fps capture from the origin
// (origin + n * 1000 / 60 in integer ms), before the origin too, and stepAt
// finds the last one at or before any time.
TEST(FrameSteps, StepsAreTheFramesOfSixtyASecondFromTheOrigin) {
    for (int origin : {0, 1, 16, 30720, -5}) {
        for (long long n = -200; n < 2000; ++n) {
            const int t = stepTime(origin, n);
            if (n >= 0) {
                EXPECT_EQ(t, origin + static_cast<int>(n * 1000 / 60));
            }
            ASSERT_EQ(stepAt(origin, t), n) << origin << " " << n;
            const int next = stepTime(origin, n + 1);
            for (int between = t; between < next; ++between) ASSERT_EQ(stepAt(origin, between), n);
        }
    }
}

std::vector<int> caughtUp(FrameStepper& stepper, int time, bool drawing = true) {
    std::vector<int> steps;
    stepper.catchUp(0, time, drawing, [&](int t) { steps.push_back(t); });
    return steps;
}

TEST(FrameSteps, StepperTakesEachStepOnceWhateverTheDrawingRate) {
    FrameStepper stepper;
    // The first frame takes the step of its own time only.
    EXPECT_EQ(caughtUp(stepper, 1000), std::vector<int>{1000});
    EXPECT_EQ(caughtUp(stepper, 1000), std::vector<int>{});  // a second draw of the frame
    EXPECT_EQ(caughtUp(stepper, 1010), std::vector<int>{});  // a frame between two steps
    EXPECT_EQ(caughtUp(stepper, 1040), (std::vector<int>{1016, 1033}));
    // The time went back (a restart): placed anew, one step.
    EXPECT_EQ(caughtUp(stepper, 200), std::vector<int>{200});

    // Advancing without drawing places without a step; skipping jumps.
    FrameStepper quiet;
    EXPECT_EQ(caughtUp(quiet, 500, false), std::vector<int>{});
    EXPECT_EQ(caughtUp(quiet, 533, false), (std::vector<int>{516, 533}));
    quiet.skipTo(0, 5000);
    EXPECT_EQ(caughtUp(quiet, 5020), std::vector<int>{5016});
}

// A process that starts again after a pause does not make up for the pause,
// unless the timeline brought it to the moment it started (skipTo).
TEST(FrameSteps, ResumeForgetsThePauseUnlessTheTimelineSkippedIt) {
    FrameStepper stepper;
    caughtUp(stepper, 1000);
    stepper.resume();
    EXPECT_EQ(caughtUp(stepper, 9000), std::vector<int>{9000});

    stepper.skipTo(0, 9999);  // the millisecond before a start at 10000
    stepper.resume();
    EXPECT_EQ(caughtUp(stepper, 10040), (std::vector<int>{10000, 10016, 10033}));
}

}  // namespace
