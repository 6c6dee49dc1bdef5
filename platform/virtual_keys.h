// Key codes in the Windows virtual-key numbering, which the demo's keyboard
// state is indexed by (keyDown[256]).
//
// The window layer translates the keys it receives into these codes; keys that
// have no code here arrive as 0 and are ignored by the keyboard state.
#pragma once

namespace vantor::platform {

namespace vk {
constexpr int Back = 8;
constexpr int Tab = 9;
constexpr int Return = 13;
constexpr int Shift = 16;
constexpr int Control = 17;
constexpr int Menu = 18;  // Alt
constexpr int Pause = 19;
constexpr int CapsLock = 20;
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int PageUp = 33;
constexpr int PageDown = 34;
constexpr int End = 35;
constexpr int Home = 36;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int Insert = 45;
constexpr int Delete = 46;
constexpr int Digit0 = 48;   // '0'..'9' are 48..57
constexpr int LetterA = 65;  // 'A'..'Z' are 65..90
constexpr int Numpad0 = 96;  // numpad 0..9 are 96..105
constexpr int Multiply = 106;
constexpr int Add = 107;
constexpr int Subtract = 109;
constexpr int Decimal = 110;
constexpr int Divide = 111;
constexpr int F1 = 112;  // F1..F24 are 112..135
constexpr int NumLock = 144;
constexpr int ScrollLock = 145;
constexpr int Semicolon = 186;
constexpr int Plus = 187;
constexpr int Comma = 188;
constexpr int Minus = 189;
constexpr int Period = 190;
constexpr int Slash = 191;
constexpr int Grave = 192;
constexpr int LeftBracket = 219;
constexpr int Backslash = 220;
constexpr int RightBracket = 221;
constexpr int Quote = 222;
}  // namespace vk

// The virtual-key code of an SDL key code (SDL_Keycode), or 0 for a key that has
// none. Both Shift keys give Shift, both Control keys give Control, both Alt
// keys give Menu; letters give their upper-case code.
int virtualKeyFromSdl(int sdlKeycode);

}  // namespace vantor::platform
