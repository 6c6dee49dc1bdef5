// One run of the demo after its window exists: start-up, script phase, main
// loop and shutdown.
//
// Start-up, strictly in this order: the sound output, the soundtrack, the data
// archive (or loose files), the image cache, the effect table, the effects.
// Every failure is fatal with its own message.
#pragma once

#include "app/demo_effects.h"
#include "app/frame_loop.h"
#include "app/frame_target.h"
#include "app/music_player.h"
#include "app/startup_files.h"
#include "imglib/image_library.h"
#include "platform/window_messages.h"

#include <optional>

class Demo {
public:
    // target: what frames (and the loading screen) are drawn into — the demo
    // window, or an offscreen target in tools and tests.
    Demo(FrameTarget& target, const StartupFiles& files);
    ~Demo();
    Demo(const Demo&) = delete;
    Demo& operator=(const Demo&) = delete;

    // Script phase, the main loop until it is left, shutdown. Returns 0.
    int run();

    // Closes the soundtrack and the sound output (once).
    void shutdown();

    FrameLoop& loop() { return *loop_; }
    MusicPlayer& music() { return music_; }
    DemoEffects& effects() { return *effects_; }
    EffectTable& table() { return table_; }

private:
    FrameTarget& target_;
    StartupFiles files_;
    MusicPlayer music_;
    std::optional<ImageLibrary> images_;
    EffectTable& table_;
    std::optional<DemoEffects> effects_;
    vantor::platform::SdlMessageQueue messages_;
    std::optional<FrameLoop> loop_;
};
