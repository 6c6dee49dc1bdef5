// The messages the demo's window procedure handles, and where they come from.
//
// The demo reacts to exactly five window messages (size, activate, close, key
// down, key up) plus the quit message that closing the window leads to. Every
// other event is still taken from the queue as a message of kind Other, so it
// costs a pass of the main loop like any message does, and is otherwise ignored.
#pragma once

namespace vantor::platform {

struct WindowMessage {
    enum class Kind { Size, Activate, Close, KeyDown, KeyUp, Quit, Other };

    Kind kind = Kind::Other;
    int key = 0;    // KeyDown, KeyUp: virtual-key code (0: a key without one)
    int width = 0;  // Size: new client size in pixels
    int height = 0;
    bool minimised = false;  // Activate: the window is minimised
};

// A source of window messages for the main loop; tests supply their own.
class MessageSource {
public:
    virtual ~MessageSource() = default;

    // Takes the next pending message, if there is one. Never waits.
    virtual bool peekMessage(WindowMessage& message) = 0;

    // Queues a Quit message; a later peekMessage returns it.
    virtual void postQuitMessage() = 0;

protected:
    MessageSource() = default;
    MessageSource(const MessageSource&) = default;
    MessageSource& operator=(const MessageSource&) = default;
};

// The messages of the SDL event queue. Needs the video subsystem (a window).
//   window close request, SDL_QUIT  -> Close
//   minimised / restored            -> Activate (minimised true / false)
//   focus gained / lost             -> Activate (minimised as the window is)
//   size changed                    -> Size
//   key down / key up               -> KeyDown / KeyUp with the virtual-key code
class SdlMessageQueue : public MessageSource {
public:
    bool peekMessage(WindowMessage& message) override;
    void postQuitMessage() override;

private:
    int pendingQuits_ = 0;
};

}  // namespace vantor::platform
