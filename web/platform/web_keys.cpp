#include "web_keys.h"

#include <cstring>
#include <string_view>

#include "platform/virtual_keys.h"

namespace vantor::web {

namespace {

namespace vk = vantor::platform::vk;

struct NamedKey {
    std::string_view code;
    int key;
};

constexpr NamedKey kNamedKeys[] = {
    {"Backspace", vk::Back},     {"Tab", vk::Tab},
    {"Enter", vk::Return},       {"NumpadEnter", vk::Return},
    {"ShiftLeft", vk::Shift},    {"ShiftRight", vk::Shift},
    {"ControlLeft", vk::Control}, {"ControlRight", vk::Control},
    {"AltLeft", vk::Menu},       {"AltRight", vk::Menu},
    {"Pause", vk::Pause},        {"CapsLock", vk::CapsLock},
    {"Escape", vk::Escape},      {"Space", vk::Space},
    {"PageUp", vk::PageUp},      {"PageDown", vk::PageDown},
    {"End", vk::End},            {"Home", vk::Home},
    {"ArrowLeft", vk::Left},     {"ArrowUp", vk::Up},
    {"ArrowRight", vk::Right},   {"ArrowDown", vk::Down},
    {"Insert", vk::Insert},      {"Delete", vk::Delete},
    {"NumpadMultiply", vk::Multiply}, {"NumpadAdd", vk::Add},
    {"NumpadSubtract", vk::Subtract}, {"NumpadDecimal", vk::Decimal},
    {"NumpadDivide", vk::Divide}, {"NumLock", vk::NumLock},
    {"ScrollLock", vk::ScrollLock}, {"Semicolon", vk::Semicolon},
    {"Equal", vk::Plus},         {"Comma", vk::Comma},
    {"Minus", vk::Minus},        {"Period", vk::Period},
    {"Slash", vk::Slash},        {"Backquote", vk::Grave},
    {"BracketLeft", vk::LeftBracket}, {"Backslash", vk::Backslash},
    {"BracketRight", vk::RightBracket}, {"Quote", vk::Quote},
};

// The number after prefix when code is prefix followed by 1 or 2 digits and
// nothing else, else -1.
int numberAfter(std::string_view code, std::string_view prefix) {
    if (code.size() <= prefix.size() || code.size() > prefix.size() + 2 || code.substr(0, prefix.size()) != prefix)
        return -1;
    int number = 0;
    for (char c : code.substr(prefix.size())) {
        if (c < '0' || c > '9') return -1;
        number = number * 10 + (c - '0');
    }
    return number;
}

}  // namespace

int virtualKeyFromCode(const char* text) {
    if (!text) return 0;
    const std::string_view code(text, std::strlen(text));
    if (code.size() == 4 && code.substr(0, 3) == "Key" && code[3] >= 'A' && code[3] <= 'Z')
        return vk::LetterA + (code[3] - 'A');
    if (code.size() == 6 && code.substr(0, 5) == "Digit" && code[5] >= '0' && code[5] <= '9')
        return vk::Digit0 + (code[5] - '0');
    if (code.size() == 7 && code.substr(0, 6) == "Numpad" && code[6] >= '0' && code[6] <= '9')
        return vk::Numpad0 + (code[6] - '0');
    if (const int f = numberAfter(code, "F"); f >= 1 && f <= 24) return vk::F1 + f - 1;
    for (const NamedKey& named : kNamedKeys)
        if (named.code == code) return named.key;
    return 0;
}

}  // namespace vantor::web
