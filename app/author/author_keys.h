// The keys of author mode, on top of the demo's own (Escape, Control+Shift,
// Control+F1, which keep their meaning).
#pragma once

#include "app/author/transport.h"

#include <optional>

enum class AuthorKey { Transport, ToggleOverlay, None };

struct AuthorKeyPress {
    AuthorKey kind = AuthorKey::None;
    TransportKey transport = TransportKey::PlayPause;  // for AuthorKey::Transport
};

// What a pressed key (virtual-key code) means with Shift and Control as held:
// Space, Left/Right (Shift: a bar), Home, PageUp/PageDown, L, T. Nothing
// while Control is held, so the demo's Control keys stay the demo's.
AuthorKeyPress authorKeyPress(int virtualKey, bool shift, bool control);
