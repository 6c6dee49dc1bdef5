#include "platform/virtual_keys.h"

#include <SDL.h>

namespace vantor::platform {

int virtualKeyFromSdl(int sdlKeycode) {
    const SDL_Keycode key = sdlKeycode;
    if (key >= SDLK_a && key <= SDLK_z) return vk::LetterA + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return vk::Digit0 + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return vk::F1 + (key - SDLK_F1);
    if (key >= SDLK_F13 && key <= SDLK_F24) return vk::F1 + 12 + (key - SDLK_F13);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return vk::Numpad0 + 1 + (key - SDLK_KP_1);

    switch (key) {
    case SDLK_BACKSPACE: return vk::Back;
    case SDLK_TAB: return vk::Tab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return vk::Return;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return vk::Shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return vk::Control;
    case SDLK_LALT:
    case SDLK_RALT: return vk::Menu;
    case SDLK_PAUSE: return vk::Pause;
    case SDLK_CAPSLOCK: return vk::CapsLock;
    case SDLK_ESCAPE: return vk::Escape;
    case SDLK_SPACE: return vk::Space;
    case SDLK_PAGEUP: return vk::PageUp;
    case SDLK_PAGEDOWN: return vk::PageDown;
    case SDLK_END: return vk::End;
    case SDLK_HOME: return vk::Home;
    case SDLK_LEFT: return vk::Left;
    case SDLK_UP: return vk::Up;
    case SDLK_RIGHT: return vk::Right;
    case SDLK_DOWN: return vk::Down;
    case SDLK_INSERT: return vk::Insert;
    case SDLK_DELETE: return vk::Delete;
    case SDLK_KP_0: return vk::Numpad0;
    case SDLK_KP_MULTIPLY: return vk::Multiply;
    case SDLK_KP_PLUS: return vk::Add;
    case SDLK_KP_MINUS: return vk::Subtract;
    case SDLK_KP_PERIOD: return vk::Decimal;
    case SDLK_KP_DIVIDE: return vk::Divide;
    case SDLK_NUMLOCKCLEAR: return vk::NumLock;
    case SDLK_SCROLLLOCK: return vk::ScrollLock;
    case SDLK_SEMICOLON: return vk::Semicolon;
    case SDLK_EQUALS: return vk::Plus;
    case SDLK_COMMA: return vk::Comma;
    case SDLK_MINUS: return vk::Minus;
    case SDLK_PERIOD: return vk::Period;
    case SDLK_SLASH: return vk::Slash;
    case SDLK_BACKQUOTE: return vk::Grave;
    case SDLK_LEFTBRACKET: return vk::LeftBracket;
    case SDLK_BACKSLASH: return vk::Backslash;
    case SDLK_RIGHTBRACKET: return vk::RightBracket;
    case SDLK_QUOTE: return vk::Quote;
    default: return 0;
    }
}

}  // namespace vantor::platform
