// The library's verbose switch, its banner and the error list.
#include "kpx/kpx.h"
#include "libs/log/progress_log.h"

namespace {

constexpr int kErrorSlots = 256;
constexpr const char* kVersion = "0.0.19";

int verboseSwitch = 1;

struct ErrorList {
    const char* slots[kErrorSlots] = {};
    int count = 0;
    int cursor = 0;
};
ErrorList errors;

}  // namespace

void kpx_verbose_on() {
    vantor::log::progress("KPX Verbose: ON\n");
    verboseSwitch = 1;
}

void kpx_verbose_off() {
    vantor::log::progress("KPX Verbose: OFF\n");
    verboseSwitch = 0;
}

int kpx_verbose() { return verboseSwitch; }

void kpx_print_banner() {
    vantor::log::progress("\n");
    vantor::log::progress("Kapex Graphics Library v%s (%s)\n", kVersion, __DATE__);
    vantor::log::progress("\n");
}

void kpx_error(const char* message) {
    if (errors.count >= kErrorSlots) kpx_error_clear();
    errors.slots[errors.count++] = message;
}

void kpx_error_clear() {
    for (auto& slot : errors.slots) slot = nullptr;
    errors.count = 0;
    errors.cursor = 0;
}

const char* kpx_error_last() { return errors.count == 0 ? nullptr : errors.slots[errors.count - 1]; }

const char* kpx_error_first() {
    errors.cursor = 0;
    return errors.count == 0 ? nullptr : errors.slots[0];
}

// The cursor moves on with every call, also past the last message, so that
// messages pushed after the walk ran out are not handed out as its next ones.
// It stops at the slot count, where it is past every possible message.
const char* kpx_error_next() {
    if (errors.cursor < kErrorSlots) ++errors.cursor;
    return errors.cursor >= errors.count ? nullptr : errors.slots[errors.cursor];
}

int kpx_error_count() { return errors.count; }
