// The page's events as the demo's window messages: keys, the canvas's size,
// and the tab hidden or shown.
//
//   keydown / keyup on the page   -> KeyDown / KeyUp with the virtual-key code
//                                    (key repeats arrive as more KeyDowns, as
//                                    the native window's do)
//   the window resized            -> Size with the canvas's size in pixels,
//                                    never below 1 x 1
//   the tab hidden / shown        -> Activate (minimised true / false)
//   the page being left           -> Close
//
// The events are queued by the browser's handlers and taken by the frame
// loop, one a pass. A key pressed and released between two frames (a quick
// tap while frames are slow) is still seen held by one pass that draws: the
// release waits until peekMessage has once found nothing, so the loop's own
// key checks (Escape) see the key down. The queue is bounded so a tab that stops drawing while
// keys are held cannot grow it without end (the oldest key messages go first;
// size and visibility messages are kept).
#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <string>

#include "platform/window_messages.h"

namespace vantor::web {

class WebMessageQueue : public vantor::platform::MessageSource {
public:
    // Keeps at most this many messages waiting.
    static constexpr std::size_t kCapacity = 256;

    // Listens to the page's keys, the window's size and the tab's visibility;
    // canvasSelector names the canvas whose size Size messages report.
    explicit WebMessageQueue(std::string canvasSelector);
    ~WebMessageQueue() override;
    WebMessageQueue(const WebMessageQueue&) = delete;
    WebMessageQueue& operator=(const WebMessageQueue&) = delete;

    bool peekMessage(vantor::platform::WindowMessage& message) override;
    void postQuitMessage() override;

    // Queues a message as the browser's handlers do.
    void push(const vantor::platform::WindowMessage& message);
    // Queues a Size message with the canvas's size now.
    void pushCanvasSize();
    std::size_t pending() const { return queue_.size(); }

private:
    std::string canvasSelector_;
    std::deque<vantor::platform::WindowMessage> queue_;
    // Keys whose KeyDown was taken since peekMessage last found nothing.
    std::array<bool, 256> freshKeys_{};
    int pendingQuits_ = 0;
};

}  // namespace vantor::web
