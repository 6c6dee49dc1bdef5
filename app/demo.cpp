#include "app/demo.h"

#include "app/fatal_error.h"
#include "app/music_player.h"
#include "libs/ppd/ppd.h"

namespace {
constexpr const char* kNoSound = "could not init sound";
constexpr const char* kNoMusic = "could not set up music";
}  // namespace

struct Demo::WindowIo {
    MusicPlayer music;
    vantor::platform::SdlMessageQueue messages;
};

Demo::Demo(FrameTarget& target, const StartupFiles& files, DemoMusic& music,
           vantor::platform::MessageSource& messages)
    : target_(target), files_(files), music_(music), messages_(messages), table_(EffectTable::instance()) {
    startUp();
}

Demo::Demo(FrameTarget& target, const StartupFiles& files) : Demo(target, files, std::make_unique<WindowIo>()) {}

Demo::Demo(FrameTarget& target, const StartupFiles& files, std::unique_ptr<WindowIo> io)
    : ownIo_(std::move(io)),
      target_(target),
      files_(files),
      music_(ownIo_->music),
      messages_(ownIo_->messages),
      table_(EffectTable::instance()) {
    startUp();
}

void Demo::startUp() {
    if (!music_.initSound()) fatalError(kNoSound, -1);
    if (!music_.openMusic(files_.soundtrack)) fatalError(kNoMusic, -1);

    if (files_.archive)
        ppd_set_archive(files_.archive, files_.password);
    else
        ppd_clear_archive();

    images_.emplace();
    images_->setPath(files_.imagePath);

    // A fresh table: a process may run the start-up more than once (tests).
    table_.clear();
    effects_.emplace(table_, *images_, target_);

    const char* scriptName = files_.script;
    loop_.emplace(table_, music_, messages_, target_, [scriptName] { return std::make_unique<Script>(scriptName); });
}

Demo::~Demo() {
    shutdown();
    // Effects go first (reverse order of construction), then the cache.
    loop_.reset();
    effects_.reset();
    table_.clear();
    images_.reset();
}

int Demo::run() {
    loop_->scriptPhase();
    loop_->run();
    shutdown();
    return 0;
}

void Demo::shutdown() {
    if (music_.soundReady()) music_.closeMusic();
}
