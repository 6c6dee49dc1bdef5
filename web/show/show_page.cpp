// The page's program: the data files are in its file system (the page
// fetched them before it started), the address says what to draw.
//
// With #at=MS[,MS...] the show plays on a virtual clock: every frame up to
// each time at the given rate, as vantor-capture --at draws them, as many per
// animation frame as fit in a slice of time so the page stays responsive.
// Each time's frame is left on the canvas with window.vantorHeld = true and
// window.vantorAt = MS until the page sets vantorHeld back to false; after
// the last one window.vantorDone is true. Without a fragment the show plays
// live: the soundtrack through the browser's sound output is the clock, the
// page's keys, size and visibility are the window messages (Escape stops),
// and the show waits at its start until the page's click.
//
// The start-up yields to the browser after every loading-screen frame, so
// the page shows the loading screen and stays responsive while the effects
// are built.
//
// window.vantorEffects lists the registered effects with how often each
// drew; window.vantorStats the frames drawn, the time spent drawing them and
// when the first show frame was drawn (ms since the page's start).
#include "app/offline_music.h"
#include "app/windowless_messages.h"
#include "libs/log/progress_log.h"
#include "runtime/fatal_error.h"
#include "platform/message_box.h"
#include "web/platform/web_audio_music.h"
#include "web/platform/web_canvas.h"
#include "web/platform/web_messages.h"
#include "web/show/canvas_target.h"
#include "web/show/page_request.h"
#include "web/show/picture_frames.h"
#include "web/show/web_show.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <memory>
#include <optional>
#include <string>

namespace {

// Drawing time an animation frame may take before the page gets its turn.
constexpr double kSliceMs = 100.0;

struct Page {
    PageRequest request;
    std::unique_ptr<CanvasTarget> target;
    // #at: the virtual clock, no window.
    OfflineMusic music;
    WindowlessMessages messages;
    // Live: the sound output and the page's events.
    std::unique_ptr<vantor::web::WebAudioMusic> liveMusic;
    std::unique_ptr<vantor::web::WebMessageQueue> liveMessages;
    bool soundFailureTold = false;
    std::unique_ptr<WebShow> show;
    std::optional<PictureFrames> pictures;
    double lastNow = 0;
    double drawingMs = 0;
    bool firstFrameTold = false;
};

Page* page = nullptr;

void tellStats(Page& p) {
    EM_ASM(
        {
            window.vantorStats = window.vantorStats || {};
            window.vantorStats.frames = $0;
            window.vantorStats.drawingMs = $1;
        },
        static_cast<double>(p.show->framesDrawn()), p.drawingMs);
}

void tellEffects(Page& p) {
    EM_ASM({ window.vantorEffects = []; });
    for (int id = 0; id < EffectTable::kSlots; ++id)
        if (p.show->registered(id))
            EM_ASM({ window.vantorEffects.push({id : $0, draws : $1}); }, id,
                   static_cast<double>(p.show->draws().draws(id)));
}

void tellFirstFrame(Page& p) {
    if (p.firstFrameTold) return;
    p.firstFrameTold = true;
    EM_ASM({
        window.vantorStats = window.vantorStats || {};
        window.vantorStats.firstFrameAt = performance.now();
    });
}

void finish(Page& p) {
    emscripten_cancel_main_loop();
    tellStats(p);
    tellEffects(p);
    vantor::web::reportDone();
}

void fail(const std::string& message) {
    emscripten_cancel_main_loop();
    vantor::web::reportError(message);
}

// One animation frame of #at: frames until a picture is due or the slice is
// used; nothing while the page looks at the last picture.
void pictureStep(Page& p) {
    if (EM_ASM_INT({ return window.vantorHeld ? 1 : 0; })) return;
    const double begin = emscripten_get_now();
    while (!p.pictures->done() && emscripten_get_now() - begin < kSliceMs) {
        bool picture = false;
        const int time = p.pictures->next(&picture);
        if (!p.show->drawAt(p.music.clock(), time)) {
            p.drawingMs += emscripten_get_now() - begin;
            fail("the demo ended before " + std::to_string(time));
            return;
        }
        tellFirstFrame(p);
        if (picture) {
            p.drawingMs += emscripten_get_now() - begin;
            tellStats(p);
            tellEffects(p);
            if (p.pictures->done()) {
                finish(p);
            } else {
                EM_ASM({
                    window.vantorAt = $0;
                    window.vantorHeld = true;
                }, time);
            }
            return;
        }
    }
    p.drawingMs += emscripten_get_now() - begin;
}

// One animation frame of the live show at the music's time.
void liveStep(Page& p) {
    const double now = emscripten_get_now();
    if (!p.soundFailureTold && p.liveMusic->state() == vantor::web::WebAudioClock::State::Failed) {
        // The show cannot play without its clock: it stays on its first frame.
        p.soundFailureTold = true;
        vantor::platform::showMessageBox("error", p.liveMusic->failure(), vantor::platform::BoxIcon::Error);
        fail(p.liveMusic->failure());
        return;
    }
    if (!p.show->frame()) {
        p.liveMusic->pauseMusic();
        vantor::platform::showMessageBox("Vantor", "The show is over. Reload the page to watch it again.",
                                         vantor::platform::BoxIcon::Information);
        finish(p);
        return;
    }
    tellFirstFrame(p);
    p.drawingMs += emscripten_get_now() - now;
    if (p.show->framesDrawn() % 60 == 0) tellStats(p);
}

void step(void* arg) {
    Page& p = *static_cast<Page*>(arg);
    if (p.pictures)
        pictureStep(p);
    else
        liveStep(p);
}

std::string pageFragment() {
    const char* text = emscripten_run_script_string("decodeURIComponent(location.hash || '')");
    return text ? text : "";
}

}  // namespace

int main() {
    // A fatal error tells the page before the program ends.
    setFatalErrorSink([](const std::string& text) { vantor::web::reportError(text); });
    // The readers' progress lines would flood the console.
    vantor::log::setProgressQuiet(true);
    page = new Page;
    Page& p = *page;
    std::string error;
    if (!readPageRequest(pageFragment(), p.request, &error)) {
        vantor::web::reportError(error);
        return 1;
    }
    p.target = std::make_unique<CanvasTarget>("#canvas", p.request.width, p.request.height);
    if (!p.target->ready()) {
        vantor::web::reportError(p.target->error());
        return 1;
    }
    DemoMusic* music = &p.music;
    vantor::platform::MessageSource* messages = &p.messages;
    if (p.request.at.empty()) {
        p.liveMusic = std::make_unique<vantor::web::WebAudioMusic>();
        p.liveMessages = std::make_unique<vantor::web::WebMessageQueue>("#canvas");
        music = p.liveMusic.get();
        messages = p.liveMessages.get();
    }
    p.target->setYieldAfterSwap(true);
    p.show = std::make_unique<WebShow>(*p.target, *music, *messages);
    p.target->setYieldAfterSwap(false);
    if (!p.request.at.empty()) {
        if (p.request.at.front() < p.show->demoStart()) {
            vantor::web::reportError("the time " + std::to_string(p.request.at.front()) +
                                     " lies before the script's DEMOSTART " + std::to_string(p.show->demoStart()));
            return 1;
        }
        p.pictures.emplace(p.show->demoStart(), p.request.fps, p.request.at);
    }
    p.lastNow = emscripten_get_now();
    emscripten_set_main_loop_arg(step, page, 0, 0);
    return 0;
}
