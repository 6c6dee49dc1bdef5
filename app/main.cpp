// The demo: a window, the soundtrack, and the timeline of effects played from
// the data archive in the working directory until the music reaches four
// minutes, Escape is pressed or the window is closed.
#include "app/demo.h"
#include "app/demo_window.h"
#include "app/startup_files.h"
#include "platform/display.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUsage =
    "usage: vantor\n"
    "\n"
    "Plays the demo full screen at 640 x 480 (or in a window when the display\n"
    "refuses that mode). Needs soundtrack.mp3 and vantor.ppd in the working\n"
    "directory. Without a display, vantor-capture renders the demo to a video\n"
    "or to pictures instead.\n"
    "\n"
    "keys:\n"
    "  Escape           end the demo\n"
    "  Control+Shift    reload the timeline script and restart it from DEMOSTART\n"
    "  Control+F1       switch between full screen and a window\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        std::fprintf(stderr, "vantor: takes no arguments (got \"%s\"); see vantor --help\n", argv[1]);
        return 2;
    }
    // Without a display there is no window to fail on: say what to use instead.
    if (!vantor::platform::displayAvailable()) {
        std::fputs("vantor: no display to open a window on; vantor-capture renders the demo to a video or "
                   "pictures without one\n",
                   stderr);
        return 1;
    }
    DemoWindow window(true, "Vantor", 640, 480);
    Demo demo(window, kDemoFiles);
    return demo.run();
}
