// The message source of a frame loop without a window: no window message ever
// arrives, so every pass draws a frame; a posted quit is delivered as the
// window's would be.
#pragma once

#include "platform/window_messages.h"

class WindowlessMessages : public vantor::platform::MessageSource {
public:
    bool peekMessage(vantor::platform::WindowMessage& message) override {
        if (pendingQuits_ == 0) return false;
        --pendingQuits_;
        message = {};
        message.kind = vantor::platform::WindowMessage::Kind::Quit;
        return true;
    }
    void postQuitMessage() override { ++pendingQuits_; }

private:
    int pendingQuits_ = 0;
};
