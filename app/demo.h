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
#include "app/startup_files.h"
#include "imglib/image_library.h"
#include "platform/window_messages.h"

#include <memory>
#include <optional>

class Demo {
public:
    // target: what frames (and the loading screen) are drawn into. music: the
    // soundtrack and the clock of the loop. messages: the window messages the
    // loop dispatches. All three must outlive the demo.
    Demo(FrameTarget& target, const StartupFiles& files, DemoMusic& music,
         vantor::platform::MessageSource& messages);
    // In the demo window: a music player on the sound output and the SDL
    // message queue, both owned by the demo.
    Demo(FrameTarget& target, const StartupFiles& files);
    ~Demo();
    Demo(const Demo&) = delete;
    Demo& operator=(const Demo&) = delete;

    // Script phase, the main loop until it is left, shutdown. Returns 0.
    int run();

    // Closes the soundtrack and the sound output (once).
    void shutdown();

    FrameLoop& loop() { return *loop_; }
    DemoMusic& music() { return music_; }
    DemoEffects& effects() { return *effects_; }
    EffectTable& table() { return table_; }

private:
    struct WindowIo;
    Demo(FrameTarget& target, const StartupFiles& files, std::unique_ptr<WindowIo> io);
    void startUp();

    std::unique_ptr<WindowIo> ownIo_;  // only when the demo runs its own music and messages
    FrameTarget& target_;
    StartupFiles files_;
    DemoMusic& music_;
    vantor::platform::MessageSource& messages_;
    std::optional<ImageLibrary> images_;
    EffectTable& table_;
    std::optional<DemoEffects> effects_;
    std::optional<FrameLoop> loop_;
};
