#include "platform/message_box.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vantor::platform {

bool boxesSuppressed() {
    const char* headless = std::getenv("VANTOR_HEADLESS");
    if (headless && *headless && std::strcmp(headless, "0") != 0) return true;
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return !(display && *display) && !(wayland && *wayland);
}

namespace {

Uint32 sdlFlags(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Information: return SDL_MESSAGEBOX_INFORMATION;
    case BoxIcon::Warning: return SDL_MESSAGEBOX_WARNING;
    case BoxIcon::Error: return SDL_MESSAGEBOX_ERROR;
    }
    return SDL_MESSAGEBOX_INFORMATION;
}

}  // namespace

void showMessageBox(const std::string& caption, const std::string& text, BoxIcon icon) {
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    if (boxesSuppressed()) return;
    SDL_ShowSimpleMessageBox(sdlFlags(icon), caption.c_str(), text.c_str(), nullptr);
}

bool askYesNo(const std::string& caption, const std::string& text) {
    std::fprintf(stderr, "[%s] %s (yes/no)\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    if (boxesSuppressed()) {
        std::fprintf(stderr, "[%s] answered yes (no display for a question)\n", caption.c_str());
        return true;
    }
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
    };
    SDL_MessageBoxData data{};
    data.flags = SDL_MESSAGEBOX_WARNING;
    data.title = caption.c_str();
    data.message = text.c_str();
    data.numbuttons = 2;
    data.buttons = buttons;
    int pressed = 1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) return true;
    return pressed == 1;
}

}  // namespace vantor::platform
