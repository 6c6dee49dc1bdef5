#include "app/runtime/fatal_error.h"

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

void setFatalErrorSoundShutdown(std::function<void()> shutdown) {
    soundShutdown() = std::move(shutdown);
}

void throwingFatalErrorSink(const std::string& text) {
    throw FatalError(text);
}

void fatalError(const char* message, int number) {
    endWithError(fatalErrorText(message, number));
}

void endWithError(const std::string& text) {
    // The sound goes silent before anything else, whoever reports the error.
    if (soundShutdown()) {
        auto shutdown = std::move(soundShutdown());
        soundShutdown() = nullptr;
        shutdown();
    }
    if (sink()) {
        sink()(text);
        std::exit(1);
    }
    vantor::platform::showMessageBox("error", text, vantor::platform::BoxIcon::Error);
    std::exit(1);
}
