#include "libs/ppd/unrarlib/debug_log.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>

namespace {

constexpr const char* kLogPath = "temp/debug_unrar.txt";
constexpr const char* kModulePath = "libs/ppd/unrarlib";

bool started = false;
bool enabled = false;
std::chrono::steady_clock::time_point createdAt;
rar_log_listener listener = nullptr;
void* listenerContext = nullptr;

}  // namespace

void rar_log_start() {
    if (started) return;
    started = true;
    createdAt = std::chrono::steady_clock::now();
    std::FILE* log = std::fopen(kLogPath, "w");
    if (!log) return;
    std::fputs("Debug log of Tessel's RARFileLib\n~^~~~~~~~~~~~~~~~~~~~~~~~~~~~~^~\n", log);
    std::fprintf(log, "(executable compiled on %s at %s)\n\n", __DATE__, __TIME__);
    std::fclose(log);
    enabled = true;
}

void rar_log_set_listener(rar_log_listener l, void* context) {
    listener = l;
    listenerContext = context;
}

void rar_log_message(unsigned line, const char* format, ...) {
    if (!enabled && !listener) return;
    char message[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    if (listener) listener(message, listenerContext);
    if (!enabled) return;
    std::FILE* log = std::fopen(kLogPath, "a");
    if (!log) return;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - createdAt);
    std::fprintf(log, " %8u ms (line %u in %s):\n              - %s\n", static_cast<unsigned>(elapsed.count()), line,
                 kModulePath, message);
    std::fclose(log);
}
