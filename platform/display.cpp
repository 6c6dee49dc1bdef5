#include "platform/display.h"

#include <SDL.h>

#include <cstring>
#include <string>

namespace vantor::platform {

namespace {

bool set(const char* name) {
    const char* value = SDL_getenv(name);
    return value && *value;
}

// Starts the video subsystem (with only `driver` when given); true when it
// started on a driver that shows windows to someone, and then it is left
// running for the window to open on. Without a display SDL falls back to
// drivers that draw nowhere; those count only when asked for by name, and
// the subsystem is stopped again.
//
// Stopping it after a good probe and starting it again for the window closes
// the X connection and opens a new one; Mesa's GLX (Debian 12 and 13) then
// often gives the window a single-buffered 10-bit visual instead of the one
// asked for, and the demo ends with "can't find a suitable pixel format".
bool videoStarts(const char* driver, bool fallbackCounts) {
    const char* previous = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    const std::string saved = previous ? previous : "";
    if (driver) SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
    bool started = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (driver) SDL_SetHint(SDL_HINT_VIDEODRIVER, previous ? saved.c_str() : nullptr);
    if (!started) return false;
    const char* chosen = SDL_GetCurrentVideoDriver();
    const bool fallback = chosen && (std::strcmp(chosen, "offscreen") == 0 || std::strcmp(chosen, "dummy") == 0);
    const bool any = SDL_GetNumVideoDisplays() > 0 && (fallbackCounts || !fallback);
    if (!any) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return any;
}

}  // namespace

bool displayAvailable() {
    if (set("SDL_VIDEODRIVER")) return videoStarts(nullptr, true);
    if (set("DISPLAY") || set("WAYLAND_DISPLAY")) return videoStarts(nullptr, false);
    // No display server named: a console with a display device may still do.
    return videoStarts("KMSDRM", false);
}

}  // namespace vantor::platform
