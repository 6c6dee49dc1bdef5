// The page's keys in the demo's virtual-key numbering.
#pragma once

namespace vantor::web {

// The virtual-key code (platform/virtual_keys.h) of a key as the browser names
// it in KeyboardEvent.code ("KeyA", "Digit1", "Escape", "ShiftLeft", "F5",
// "ArrowUp", "Numpad7", …), or 0 for a key without one. Codes name the key's
// place, not the character the layout puts on it, as the native virtual keys
// do for letters and digits; both Shift, Control and Alt keys give one code.
int virtualKeyFromCode(const char* code);

}  // namespace vantor::web
