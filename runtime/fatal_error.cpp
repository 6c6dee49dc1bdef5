#include "runtime/fatal_error.h"

#include "platform/message_box.h"

#include <cstdio>
#include <cstdlib>

namespace {

FatalErrorSink& sink() {
    static FatalErrorSink current;
    return current;
}

std::function<void()>& soundShutdown() {
    static std::function<void()> current;
    return current;
}

std::function<void()>& windowRelease() {
    static std::function<void()> current;
    return current;
}

bool& recoveredErrors() {
    static bool recovered = false;
    return recovered;
}

// Runs a release step once: it is taken out before it runs, so a step that
// fails fatally itself does not run again.
void runOnce(std::function<void()>& step) {
    if (!step) return;
    auto run = std::move(step);
    step = nullptr;
    run();
}

}  // namespace

std::string fatalErrorText(const char* message, int number) {
    char text[200];
    if (number == -1)
        std::snprintf(text, sizeof text, "%s", message);
    else
        std::snprintf(text, sizeof text, "%s %d", message, number);
    return text;
}

FatalErrorSink setFatalErrorSink(FatalErrorSink next) {
    FatalErrorSink previous = std::move(sink());
    sink() = std::move(next);
    return previous;
}

void setFatalErrorSoundShutdown(std::function<void()> shutdown) { soundShutdown() = std::move(shutdown); }

void setFatalErrorWindowRelease(std::function<void()> release) { windowRelease() = std::move(release); }

bool setFatalErrorsRecovered(bool recovered) {
    const bool previous = recoveredErrors();
    recoveredErrors() = recovered;
    return previous;
}

void throwingFatalErrorSink(const std::string& text) { throw FatalError(text); }

void fatalError(const char* message, int number) { endWithError(fatalErrorText(message, number)); }

void endWithError(const std::string& text) {
    // The sound goes silent before anything else, whoever reports the error;
    // then the display gets its mode back, before the box is shown on it.
    // A caller that recovers keeps both: the program plays on with them.
    if (!(sink() && recoveredErrors())) {
        runOnce(soundShutdown());
        runOnce(windowRelease());
    }
    if (sink()) {
        sink()(text);
        std::exit(1);
    }
    vantor::platform::showMessageBox("error", text, vantor::platform::BoxIcon::Error);
    std::exit(1);
}
