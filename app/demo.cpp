#include "app/demo.h"

#include "runtime/fatal_error.h"
#include "libs/ppd/ppd.h"

namespace {
constexpr const char* kNoSound = "could not init sound";
constexpr const char* kNoMusic = "could not set up music";
}  // namespace

Demo::Demo(FrameTarget& target, EffectTable& table, const StartupFiles& files, DemoMusic& music,
           vantor::platform::MessageSource& messages, BuildErrors errors)
    : target_(target), files_(files), music_(music), messages_(messages), table_(table) {
    startUp(errors);
}

Demo::Demo(FrameTarget& target, EffectTable& table, const StartupFiles& files, std::unique_ptr<WindowIo> io,
           BuildErrors errors)
    : ownIo_(std::move(io)),
      target_(target),
      files_(files),
      music_(ownIo_->music()),
      messages_(ownIo_->messages()),
      table_(table) {
    startUp(errors);
}

void Demo::startUp(BuildErrors errors) {
    if (!music_.initSound()) fatalError(kNoSound, -1);
    if (!music_.openMusic(files_.soundtrack)) fatalError(kNoMusic, -1);

    if (files_.archive)
        ppd_set_archive(files_.archive, files_.password);
    else
        ppd_clear_archive();
    ppd_set_folder(files_.dataFolder);

    images_ = std::make_unique<ImageLibrary>();
    images_->setPath(files_.imagePath);

    // A fresh table: a process may run the start-up more than once (tests).
    table_.clear();
    if (errors == BuildErrors::End) {
        effects_ = std::make_unique<DemoEffects>(table_, *images_, target_, files_);
    } else {
        try {
            effects_ = std::make_unique<DemoEffects>(table_, *images_, target_, files_);
        } catch (const std::exception& error) {
            table_.clear();
            effectsError_ = error.what();
        }
    }

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

void Demo::rebuildEffects(const std::function<void()>& start) {
    Effect* previous[EffectTable::kSlots];
    for (int id = 0; id < EffectTable::kSlots; ++id) previous[id] = table_.get(id);
    auto images = std::make_unique<ImageLibrary>();
    images->setPath(files_.imagePath);
    std::unique_ptr<DemoEffects> effects;
    try {
        // Each row takes its id over; ids without a row keep what they hold.
        effects = std::make_unique<DemoEffects>(table_, *images, target_, files_, false);
        if (start) start();
    } catch (...) {
        // The rows built so far are gone again; the old ones take their ids back.
        for (int id = 0; id < EffectTable::kSlots; ++id) table_.set(id, previous[id]);
        throw;
    }
    // The old effects go before the cache their images came from.
    effects_ = std::move(effects);
    images_ = std::move(images);
}

void Demo::shutdown() {
    if (music_.soundReady()) music_.closeMusic();
}
