#include "web/show/web_show.h"

WebShow::WebShow(CanvasTarget& target, DemoMusic& music, vantor::platform::MessageSource& messages,
                 const StartupFiles& files)
    : demo_(target, table_, files, music, messages) {
    table_.setObserver(&draws_);
    demo_.loop().scriptPhase();
    demoStart_ = demo_.loop().script()->demoStart();
}

bool WebShow::frame() {
    FrameLoop& loop = demo_.loop();
    const auto drawn = loop.framesDrawn();
    // More than the page's message queue holds.
    constexpr int kMaxPasses = 1024;
    for (int pass = 0; pass < kMaxPasses && loop.framesDrawn() == drawn; ++pass)
        if (!loop.pass()) return false;
    return true;
}

bool WebShow::drawAt(VirtualClock& clock, int time) {
    clock.set(time);
    return frame();
}
