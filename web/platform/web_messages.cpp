#include "web_messages.h"

#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>

#include "platform/virtual_keys.h"
#include "web/platform/web_keys.h"

namespace vantor::web {

namespace {

using vantor::platform::WindowMessage;

EM_BOOL onKey(int eventType, const EmscriptenKeyboardEvent* event, void* userData) {
    WindowMessage message;
    message.kind = eventType == EMSCRIPTEN_EVENT_KEYDOWN ? WindowMessage::Kind::KeyDown : WindowMessage::Kind::KeyUp;
    message.key = virtualKeyFromCode(event->code);
    static_cast<WebMessageQueue*>(userData)->push(message);
    // The page keeps the browser's own keys (reload, close tab, full screen);
    // only keys that would scroll the page are kept from it.
    const bool scrolls = message.key == vantor::platform::vk::Space ||
                         (message.key >= vantor::platform::vk::PageUp && message.key <= vantor::platform::vk::Down);
    return scrolls ? EM_TRUE : EM_FALSE;
}

EM_BOOL onResize(int, const EmscriptenUiEvent*, void* userData) {
    static_cast<WebMessageQueue*>(userData)->pushCanvasSize();
    return EM_FALSE;
}

EM_BOOL onVisibility(int, const EmscriptenVisibilityChangeEvent* event, void* userData) {
    WindowMessage message;
    message.kind = WindowMessage::Kind::Activate;
    message.minimised = event->hidden != 0;
    static_cast<WebMessageQueue*>(userData)->push(message);
    return EM_FALSE;
}

EM_BOOL onLeave(int, const void*, void* userData) {
    WindowMessage message;
    message.kind = WindowMessage::Kind::Close;
    static_cast<WebMessageQueue*>(userData)->push(message);
    return EM_FALSE;
}

bool isKey(const WindowMessage& message) {
    return message.kind == WindowMessage::Kind::KeyDown || message.kind == WindowMessage::Kind::KeyUp;
}

}  // namespace

WebMessageQueue::WebMessageQueue(std::string canvasSelector) : canvasSelector_(std::move(canvasSelector)) {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_FALSE, onKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_FALSE, onKey);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_FALSE, onResize);
    emscripten_set_visibilitychange_callback(this, EM_FALSE, onVisibility);
    emscripten_set_beforeunload_callback(this, [](int type, const void* event, void* data) -> const char* {
        onLeave(type, event, data);
        return nullptr;
    });
}

WebMessageQueue::~WebMessageQueue() {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, nullptr);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, nullptr);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, nullptr);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, nullptr);
    emscripten_set_beforeunload_callback(nullptr, nullptr);
}

void WebMessageQueue::push(const WindowMessage& message) {
    // A resize in progress sends many sizes; only the last one counts.
    if (message.kind == WindowMessage::Kind::Size && !queue_.empty() &&
        queue_.back().kind == WindowMessage::Kind::Size) {
        queue_.back() = message;
        return;
    }
    if (queue_.size() >= kCapacity) {
        // Full: a key message gives way (the oldest one), else the new
        // message is dropped if it is a key itself.
        const auto key = std::find_if(queue_.begin(), queue_.end(), isKey);
        if (key != queue_.end())
            queue_.erase(key);
        else
            return;
    }
    queue_.push_back(message);
}

void WebMessageQueue::pushCanvasSize() {
    double cssWidth = 0;
    double cssHeight = 0;
    emscripten_get_element_css_size(canvasSelector_.c_str(), &cssWidth, &cssHeight);
    const double ratio = emscripten_get_device_pixel_ratio();
    WindowMessage message;
    message.kind = WindowMessage::Kind::Size;
    message.width = std::max(1, static_cast<int>(std::lround(cssWidth * ratio)));
    message.height = std::max(1, static_cast<int>(std::lround(cssHeight * ratio)));
    push(message);
}

bool WebMessageQueue::peekMessage(WindowMessage& message) {
    if (pendingQuits_ > 0) {
        --pendingQuits_;
        message = WindowMessage{};
        message.kind = WindowMessage::Kind::Quit;
        return true;
    }
    const auto inRange = [](int key) { return key > 0 && key < 256; };
    if (queue_.empty() || (queue_.front().kind == WindowMessage::Kind::KeyUp && inRange(queue_.front().key) &&
                           freshKeys_[queue_.front().key])) {
        // A pass without a message follows: the keys taken so far have been
        // seen held.
        freshKeys_.fill(false);
        return false;
    }
    message = queue_.front();
    queue_.pop_front();
    if (message.kind == WindowMessage::Kind::KeyDown && inRange(message.key)) freshKeys_[message.key] = true;
    return true;
}

void WebMessageQueue::postQuitMessage() { ++pendingQuits_; }

}  // namespace vantor::web
