// The demo's message boxes in the page: each box becomes a line of the page's
// message panel (window.vantorShowMessage, from web_page.js) and is printed to
// the console, as the native boxes go to stderr. Nothing waits for an answer:
// a page must never block its own tab, so a yes/no question answers Yes, as
// the native boxes do when they cannot be shown.
#include <emscripten.h>

#include <cstdio>

#include "platform/message_box.h"

namespace vantor::platform {

namespace {

const char* iconName(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Information: return "information";
    case BoxIcon::Warning: return "warning";
    case BoxIcon::Error: return "error";
    }
    return "information";
}

void showInPanel(const std::string& caption, const std::string& text, const char* kind) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    EM_ASM(
        {
            if (window.vantorShowMessage)
                window.vantorShowMessage(UTF8ToString($1), UTF8ToString($0), UTF8ToString($2));
        },
        caption.c_str(), text.c_str(), kind);
}

}  // namespace

void showMessageBox(const std::string& caption, const std::string& text, BoxIcon icon) {
    showInPanel(caption, text, iconName(icon));
}

bool askYesNo(const std::string& caption, const std::string& text) {
    showInPanel(caption, text + " (Yes)", "question");
    return true;
}

bool boxesSuppressed() { return false; }

}  // namespace vantor::platform
