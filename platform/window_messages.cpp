#include "platform/window_messages.h"

#include "platform/virtual_keys.h"

#include <SDL.h>

namespace vantor::platform {

namespace {

bool windowIsMinimised(Uint32 windowId) {
    SDL_Window* window = SDL_GetWindowFromID(windowId);
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) != 0;
}

WindowMessage translateWindowEvent(const SDL_WindowEvent& event) {
    WindowMessage message;
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE: message.kind = WindowMessage::Kind::Close; break;
    case SDL_WINDOWEVENT_MINIMIZED:
        message.kind = WindowMessage::Kind::Activate;
        message.minimised = true;
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        message.kind = WindowMessage::Kind::Activate;
        message.minimised = false;
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
        message.kind = WindowMessage::Kind::Activate;
        message.minimised = windowIsMinimised(event.windowID);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
        message.kind = WindowMessage::Kind::Size;
        message.width = event.data1;
        message.height = event.data2;
        // The viewport is in pixels, which may differ from window units.
        if (SDL_Window* window = SDL_GetWindowFromID(event.windowID))
            SDL_GL_GetDrawableSize(window, &message.width, &message.height);
        break;
    }
    default: break;
    }
    return message;
}

}  // namespace

bool SdlMessageQueue::peekMessage(WindowMessage& message) {
    if (pendingQuits_ > 0) {
        --pendingQuits_;
        message = WindowMessage{};
        message.kind = WindowMessage::Kind::Quit;
        return true;
    }
    SDL_Event event;
    if (!SDL_PollEvent(&event)) return false;

    message = WindowMessage{};
    switch (event.type) {
    case SDL_QUIT: message.kind = WindowMessage::Kind::Close; break;
    case SDL_WINDOWEVENT: message = translateWindowEvent(event.window); break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        message.kind = event.type == SDL_KEYDOWN ? WindowMessage::Kind::KeyDown : WindowMessage::Kind::KeyUp;
        message.key = virtualKeyFromSdl(event.key.keysym.sym);
        break;
    default: break;
    }
    return true;
}

void SdlMessageQueue::postQuitMessage() { ++pendingQuits_; }

}  // namespace vantor::platform
