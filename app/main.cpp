// The demo: a window, the soundtrack, and the timeline of effects played from
// the data archive in the working directory until the music reaches four
// minutes, Escape is pressed or the window is closed.
#include "app/author/author_run.h"
#include "app/demo.h"
#include "app/demo_window.h"
#include "runtime/shipped_files.h"
#include "platform/display.h"

#include <cstdio>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: vantor [--mode 640x480]\n"
    "       vantor --data DIR [--control] [--overlay] [--verbose]\n"
    "\n"
    "Plays the demo full screen at the desktop's own resolution (no mode\n"
    "change), the 4:3 picture drawn at that resolution between black bars.\n"
    "Needs soundtrack.mp3 and vantor.ppd in the working directory, next to\n"
    "the program or in the install's share/vantor/. Without a display,\n"
    "vantor-capture renders the demo to a video or to pictures instead.\n"
    "  --mode 640x480   change the display to 640 x 480 instead (asks whether\n"
    "                   to run in a window when the display refuses that mode)\n"
    "\n"
    "keys:\n"
    "  Escape           end the demo\n"
    "  Control+Shift    reload the timeline script and restart it from DEMOSTART\n"
    "  Control+F1       switch between full screen and a (resizable) window\n"
    "\n"
    "Author mode (--data DIR) plays the folder DIR over the shipped archive:\n"
    "a file there (DIR/data/script.scr, DIR/data/images/..., DIR/data/textures/...,\n"
    "DIR/data/NAME.ppp, DIR/celpalette.pcx, DIR/soundtrack.mp3) wins over the\n"
    "shipped one. A save to any of them shows at once, at the same music time;\n"
    "errors are shown and the last good state plays on; only Escape, the\n"
    "window's close or quit end it. It plays in a 640 x 480 window (Control+F1:\n"
    "full screen and back), and on a silent clock when there is no sound device.\n"
    "  --data DIR       play and watch DIR\n"
    "  --overlay        show the overlay from the start (time, bar:beat, frame\n"
    "                   rate, running effects, last event, loop, pause)\n"
    "  --control        read commands on standard input, one a line, and answer\n"
    "                   each with one line: seek MS, pause, play, loop A B,\n"
    "                   loop off, reload, time, shot FILE.png, step beat N,\n"
    "                   step bar N, mark next, mark prev, mark NAME,\n"
    "                   overlay on, overlay off, status, quit\n"
    "  --verbose        print the image readers' progress lines (on standard\n"
    "                   error with --control)\n"
    "author keys:\n"
    "  Space            pause / play (the picture is still drawn)\n"
    "  Left, Right      one beat back / forward (Shift: one bar)\n"
    "  Home             back to DEMOSTART\n"
    "  PageUp/PageDown  previous / next MARK of the script\n"
    "  L                loop the current four bars; again: end the loop\n"
    "  T                show / hide the overlay\n";

// Reads the command line: true to run, with options.folder set for author mode
// and modeChange set by --mode 640x480.
bool readCommandLine(int argc, char** argv, AuthorOptions& options, bool& modeChange, int& exitCode) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            exitCode = 0;
            return false;
        }
        if (a == "--mode") {
            // The one display mode the show was made for; the desktop's own
            // mode is the default.
            if (i + 1 >= argc || std::string(argv[i + 1]) != "640x480") {
                std::fputs("vantor: --mode takes 640x480 (the default is the desktop's own mode)\n", stderr);
                exitCode = 2;
                return false;
            }
            ++i;
            modeChange = true;
        } else if (a == "--data" && i + 1 < argc) {
            options.folder = argv[++i];
        } else if (a == "--control") {
            options.control = true;
        } else if (a == "--overlay") {
            options.overlay = true;
        } else if (a == "--verbose") {
            options.verbose = true;
        } else {
            std::fprintf(stderr, "vantor: unknown argument \"%s\"; see vantor --help\n", argv[i]);
            exitCode = 2;
            return false;
        }
    }
    if ((options.control || options.overlay || options.verbose) && options.folder.empty()) {
        std::fputs("vantor: --control, --overlay and --verbose need --data DIR; see vantor --help\n", stderr);
        exitCode = 2;
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    AuthorOptions author;
    int exitCode = 0;
    bool modeChange = false;
    if (!readCommandLine(argc, argv, author, modeChange, exitCode)) return exitCode;
    // Without a display there is no window to fail on: say what to use instead.
    if (!vantor::platform::displayAvailable()) {
        std::fputs(
            "vantor: no display to open a window on; vantor-capture renders the demo to a video or "
            "pictures without one\n",
            stderr);
        return 1;
    }
    if (!author.folder.empty()) return runAuthorMode(author);
    DemoWindow window(modeChange ? DemoWindow::ScreenMode::ModeChange : DemoWindow::ScreenMode::Desktop, "Vantor", 640,
                      480);
    // The program's one effect table, created before the effects are built
    // into it and outliving the start-up that fills it.
    EffectTable table;
    const ShippedDemoFiles shipped;
    Demo demo(window, table, shipped.files());
    return demo.run();
}
