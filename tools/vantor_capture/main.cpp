// vantor-capture: renders the demo frame-exactly, without a window or a sound
// device, to a video or to PNG pictures.
#include "runtime/fatal_error.h"
#include "tools/vantor_capture/capture_options.h"
#include "tools/vantor_capture/capture_session.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const ParsedCommandLine parsed = parseCaptureCommandLine(argc, argv);
    switch (parsed.action) {
    case ParsedCommandLine::Action::Help: std::fputs(kCaptureUsage, stdout); return 0;
    case ParsedCommandLine::Action::UsageError:
        std::fprintf(stderr, "vantor-capture: %s; see vantor-capture --help\n", parsed.error.c_str());
        return 2;
    case ParsedCommandLine::Action::Capture: break;
    }
    // A failing ffmpeg shows as a write error, not as a signal.
    std::signal(SIGPIPE, SIG_IGN);
    // The demo's fatal errors become a line on stderr: a tool shows no boxes.
    setFatalErrorSink([](const std::string& text) {
        std::fflush(stdout);
        std::fprintf(stderr, "vantor-capture: %s\n", text.c_str());
        std::_Exit(1);
    });
    return runCapture(parsed.options);
}
