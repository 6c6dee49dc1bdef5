// One run of the demo after its frame target exists: start-up, script phase,
// main loop and shutdown.
//
// Start-up, strictly in this order: the sound output, the soundtrack, the data
// archive (or loose files), the image cache, the effect table, the effects.
// Every failure is fatal with its own message.
//
// The program plays in its window with the music player and the window's
// message queue; an offline renderer gives an offscreen target, a soundtrack
// on a virtual clock and a message source without a window.
#pragma once

#include "app/demo_effects.h"
#include "app/demo_music.h"
#include "app/frame_loop.h"
#include "app/frame_target.h"
#include "runtime/startup_files.h"
#include "imglib/image_library.h"
#include "platform/window_messages.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class Demo {
public:
    // What a start-up does when the effects cannot all be built and the
    // error's sink throws instead of ending the program: pass the exception on
    // (End), or keep it as effectsError() and start with an empty table (Keep,
    // for an author who fixes the data while the demo runs).
    enum class BuildErrors { End, Keep };

    // target: what frames (and the loading screen) are drawn into. table: the
    // effect table the effects are registered in and the loop plays (the
    // program's is the one its main routine owns). music: the soundtrack and the
    // clock of the loop. messages: the window messages the loop dispatches.
    // All four must outlive the demo.
    Demo(FrameTarget& target, EffectTable& table, const StartupFiles& files, DemoMusic& music,
         vantor::platform::MessageSource& messages, BuildErrors errors = BuildErrors::End);
    // In the demo window: a music player on the sound output and the SDL
    // message queue, both owned by the demo.
    Demo(FrameTarget& target, EffectTable& table, const StartupFiles& files, BuildErrors errors = BuildErrors::End);
    ~Demo();
    Demo(const Demo&) = delete;
    Demo& operator=(const Demo&) = delete;

    // Script phase, the main loop until it is left, shutdown. Returns 0.
    int run();

    // Builds every effect anew, with a fresh image cache and without the
    // loading screen, while the show goes on; then runs `start` (if given) on
    // the table holding the new effects. When building or `start` fails (the
    // error's sink throws), the table gets the old effects back, the old ones
    // stay as they were, and the exception goes on to the caller.
    void rebuildEffects(const std::function<void()>& start = {});
    // False after a start-up whose effects could not all be built (only with
    // an error sink that throws); the table is then empty.
    bool effectsBuilt() const { return effects_ != nullptr; }
    // Why the start-up's effects could not be built (BuildErrors::Keep).
    const std::string& effectsError() const { return effectsError_; }

    // Closes the soundtrack and the sound output (once).
    void shutdown();

    FrameLoop& loop() { return *loop_; }
    DemoMusic& music() { return music_; }
    DemoEffects& effects() { return *effects_; }
    EffectTable& table() { return table_; }

    // The music and messages a demo in its own window owns (made where the
    // window's sound and event queue are: app/demo_window_io.cpp).
    struct WindowIo {
        virtual ~WindowIo() = default;
        virtual DemoMusic& music() = 0;
        virtual vantor::platform::MessageSource& messages() = 0;
    };

private:
    Demo(FrameTarget& target, EffectTable& table, const StartupFiles& files, std::unique_ptr<WindowIo> io,
         BuildErrors errors);
    void startUp(BuildErrors errors);

    std::unique_ptr<WindowIo> ownIo_;  // only when the demo runs its own music and messages
    FrameTarget& target_;
    StartupFiles files_;
    DemoMusic& music_;
    vantor::platform::MessageSource& messages_;
    // Held by pointer: a rebuild makes both anew before the old ones go.
    std::unique_ptr<ImageLibrary> images_;
    EffectTable& table_;
    std::unique_ptr<DemoEffects> effects_;
    std::string effectsError_;
    std::optional<FrameLoop> loop_;
};
