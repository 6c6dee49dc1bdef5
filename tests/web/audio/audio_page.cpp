// A small page for the web platform layer: the soundtrack through Web Audio
// as the clock, the page's keys, sizes and visibility as window messages, the
// archive fetched before main. Each frame clears the canvas to a colour of
// the music time and tells the page what it read (window.vantorAudioPage);
// the tests drive seeks and pauses through the exported functions. Before
// its first frame it starts up in groups, yielding to the browser between them.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "platform/gl_api.h"
#include "platform/message_box.h"
#include "platform/virtual_keys.h"
#include "web/gl/gl_layer.h"
#include "web/platform/web_audio.h"
#include "web/platform/web_canvas.h"
#include "web/platform/web_messages.h"
#include "web/platform/web_yield.h"

// What the page's tests read.
EM_JS(void, tell_page_start, (), {
    window.vantorAudioPage = {keys : [], sizes : [], time : -1, frames : 0, stopped : false, groupTimes : []};
});
EM_JS(void, tell_page_key, (int key), { window.vantorAudioPage.keys.push(key); });
EM_JS(void, tell_page_size, (int width, int height), { window.vantorAudioPage.sizes.push([ width, height ]); });
EM_JS(void, tell_page_group, (int group), {
    window.vantorAudioPage.group = group;
    window.vantorAudioPage.groupTimes.push(performance.now());
});
EM_JS(void, tell_page_frame, (int time, int frames, int audible, int visible), {
    Object.assign(window.vantorAudioPage, {time : time, frames : frames, audible : !!audible, visible : !!visible});
});

namespace {

using vantor::platform::WindowMessage;

vantor::web::WebAudioClock* clock_ = nullptr;
vantor::web::WebMessageQueue* messages_ = nullptr;
bool started_ = false;
bool stopped_ = false;
bool visible_ = true;
int frames_ = 0;

// A start-up like the demo's: groups of work of about 80 ms each, a loading
// frame after each, the browser's turn between them.
constexpr int kStartupGroups = 6;

void startUp() {
    for (int group = 0; group < kStartupGroups; ++group) {
        const double until = emscripten_get_now() + 80;
        while (emscripten_get_now() < until) {
        }
        const float grey = static_cast<float>(group + 1) / kStartupGroups;
        glClearColor(grey, grey, grey, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        vantor::webgl::finishFrame();
        tell_page_group(group);
        vantor::web::yieldToBrowser();
    }
}

void stop() {
    stopped_ = true;
    clock_->pauseMusic();
    emscripten_cancel_main_loop();
    EM_ASM({ window.vantorAudioPage.stopped = true; });
}

void takeMessages() {
    WindowMessage message;
    while (messages_->peekMessage(message)) {
        switch (message.kind) {
        case WindowMessage::Kind::KeyDown:
            tell_page_key(message.key);
            if (message.key == vantor::platform::vk::Escape) return stop();
            break;
        case WindowMessage::Kind::Size:
            tell_page_size(message.width, message.height);
            break;
        case WindowMessage::Kind::Activate: visible_ = !message.minimised; break;
        case WindowMessage::Kind::Close:
        case WindowMessage::Kind::Quit: return stop();
        default: break;
        }
    }
}

void frame() {
    takeMessages();
    if (stopped_) return;
    switch (clock_->state()) {
    case vantor::web::WebAudioClock::State::Failed:
        vantor::platform::showMessageBox("soundtrack", clock_->failure(), vantor::platform::BoxIcon::Error);
        vantor::web::reportError(clock_->failure());
        stopped_ = true;
        emscripten_cancel_main_loop();
        return;
    case vantor::web::WebAudioClock::State::Ready:
        if (!started_) {
            started_ = true;
            clock_->seekMusic(0);
            clock_->playMusic();
            EM_ASM({ window.vantorAudioPage.length = $0; }, static_cast<double>(clock_->musicLength()));
            vantor::web::reportDone();
        }
        break;
    default: return;
    }
    const int time = clock_->musicTime();
    if (!visible_) {
        // Hidden: no frame is drawn, the clock runs on.
        tell_page_frame(time, frames_, clock_->audible() ? 1 : 0, 0);
        return;
    }
    glClearColor(static_cast<float>(time % 1000) / 1000.0f, 0.2f, 0.4f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    vantor::webgl::finishFrame();
    ++frames_;
    tell_page_frame(time, frames_, clock_->audible() ? 1 : 0, visible_ ? 1 : 0);
}

}  // namespace

extern "C" {
EMSCRIPTEN_KEEPALIVE int audio_page_time() { return clock_->musicTime(); }
EMSCRIPTEN_KEEPALIVE void audio_page_seek(int ms) { clock_->seekMusic(ms); }
EMSCRIPTEN_KEEPALIVE void audio_page_pause() { clock_->pauseMusic(); }
EMSCRIPTEN_KEEPALIVE void audio_page_play() { clock_->playMusic(); }
EMSCRIPTEN_KEEPALIVE int audio_page_paused() { return clock_->musicPaused() ? 1 : 0; }
}

int main() {
    tell_page_start();
    std::string error;
    if (!vantor::web::startCanvas("#canvas", 320, 240, &error)) {
        vantor::web::reportError(error);
        return 1;
    }
    struct stat archive {};
    if (stat("/data/vantor.ppd", &archive) != 0) {
        vantor::web::reportError("The archive is not in the file system.");
        return 1;
    }
    EM_ASM({ window.vantorAudioPage.archiveBytes = $0; }, static_cast<double>(archive.st_size));
    static vantor::web::WebAudioClock clock;
    static vantor::web::WebMessageQueue messages("#canvas");
    clock_ = &clock;
    messages_ = &messages;
    if (!clock.start()) {
        vantor::web::reportError("This browser has no Web Audio: the soundtrack cannot play.");
        return 1;
    }
    clock.load("tone.mp3");
    startUp();
    messages.pushCanvasSize();
    emscripten_set_main_loop(frame, 0, 0);
    return 0;
}
