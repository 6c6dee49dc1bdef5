// The demo in its own window: the music player on the sound output and the
// SDL message queue, owned by the demo. Kept apart from demo.cpp so that a
// build without SDL and the sound output (the web page) still has the rest of
// the start-up.
#include "app/demo.h"
#include "app/music_player.h"

namespace {

struct SdlWindowIo final : Demo::WindowIo {
    DemoMusic& music() override { return player; }
    vantor::platform::MessageSource& messages() override { return queue; }

    MusicPlayer player;
    vantor::platform::SdlMessageQueue queue;
};

}  // namespace

Demo::Demo(FrameTarget& target, EffectTable& table, const StartupFiles& files, BuildErrors errors)
    : Demo(target, table, files, std::make_unique<SdlWindowIo>(), errors) {}
