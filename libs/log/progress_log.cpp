#include "libs/log/progress_log.h"

#include <cstdarg>
#include <cstdio>

namespace vantor::log {
namespace {

bool quietSwitch = false;
ProgressStream target = ProgressStream::StandardOutput;

}  // namespace

void progress(const char* format, ...) {
    if (quietSwitch) return;
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(target == ProgressStream::StandardError ? stderr : stdout, format, arguments);
    va_end(arguments);
}

void setProgressQuiet(bool quiet) { quietSwitch = quiet; }

bool progressQuiet() { return quietSwitch; }

void setProgressStream(ProgressStream stream) { target = stream; }

}  // namespace vantor::log
