#include "libs/log/progress_log.h"

#include <cstdarg>
#include <cstdio>

namespace vantor::log {
namespace {

bool quietSwitch = false;

}  // namespace

void progress(const char* format, ...) {
    if (quietSwitch) return;
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
}

void setProgressQuiet(bool quiet) { quietSwitch = quiet; }

bool progressQuiet() { return quietSwitch; }

}  // namespace vantor::log
