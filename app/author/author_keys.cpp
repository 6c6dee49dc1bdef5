#include "app/author/author_keys.h"

#include "platform/virtual_keys.h"

namespace vk = vantor::platform::vk;

AuthorKeyPress authorKeyPress(int virtualKey, bool shift, bool control) {
    if (control) return {};
    auto transport = [](TransportKey key) { return AuthorKeyPress{AuthorKey::Transport, key}; };
    switch (virtualKey) {
    case vk::Space: return transport(TransportKey::PlayPause);
    case vk::Left: return transport(shift ? TransportKey::BarBack : TransportKey::BeatBack);
    case vk::Right: return transport(shift ? TransportKey::BarForward : TransportKey::BeatForward);
    case vk::Home: return transport(TransportKey::Home);
    case vk::PageUp: return transport(TransportKey::PreviousMark);
    case vk::PageDown: return transport(TransportKey::NextMark);
    case vk::LetterA + ('L' - 'A'): return transport(TransportKey::Loop);
    case vk::LetterA + ('T' - 'A'): return {AuthorKey::ToggleOverlay, TransportKey::PlayPause};
    default: return {};
    }
}
