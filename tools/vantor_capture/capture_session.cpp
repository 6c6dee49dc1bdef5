#include "tools/vantor_capture/capture_session.h"

#include "app/author/folder_files.h"
#include "app/author/overlay.h"
#include "app/author/overlay_source.h"
#include "app/demo.h"
#include "app/offline_music.h"
#include "app/offscreen_target.h"
#include "runtime/shipped_files.h"
#include "app/windowless_messages.h"
#include "libs/log/progress_log.h"
#include "tools/vantor_capture/effect_profiler.h"
#include "app/frame_times.h"
#include "tools/vantor_capture/png_folder_sink.h"
#include "tools/vantor_capture/progress_line.h"
#include "tools/vantor_capture/queued_sink.h"
#include "tools/vantor_capture/video_sink.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace {

int failure(const std::string& text) {
    std::fprintf(stderr, "vantor-capture: %s\n", text.c_str());
    return 1;
}

// The demo, started up offscreen, and the way frames are drawn in it.
class OffscreenDemo {
public:
    OffscreenDemo(vantor::platform::OffscreenGL& gl, const StartupFiles& files, const CaptureOptions& options)
        : target_(gl), demo_(target_, table_, files, music_, messages_) {
        if (options.profile) profiler_.emplace(demo_.table());
        demo_.loop().scriptPhase();
        const Script& script = *demo_.loop().script();
        demoStart_ = script.demoStart();
        endTime_ = demo_.loop().endTime();
        if (options.overlay) {
            overlay_.emplace();
            transport_.emplace(script.timing(), demoStart_, endTime_);
            overlayState_.framesPerSecond = options.fps;
        }
    }

    int demoStart() const { return demoStart_; }
    const Script& script() { return *demo_.loop().script(); }
    // Where the show ends (the loop's end time).
    int endTime() const { return endTime_; }

    // Draws the frame at music time `time` through the demo's own loop. False
    // when the loop has ended (the demo's end time was reached before).
    bool draw(int time) {
        music_.clock().set(time);
        FrameLoop& loop = demo_.loop();
        const auto drawn = loop.framesDrawn();
        if (profiler_) profiler_->beginFrame();
        while (loop.framesDrawn() == drawn)
            if (!loop.pass()) return false;
        if (profiler_) profiler_->endFrame();
        if (overlay_) {
            fillOverlayState(overlayState_, loop, demo_.table(), *transport_);
            overlay_->draw(overlayState_);
        }
        return true;
    }

    const EffectProfiler* profiler() const { return profiler_ ? &*profiler_ : nullptr; }

private:
    OffscreenTarget target_;
    OfflineMusic music_;
    WindowlessMessages messages_;
    EffectTable table_;
    Demo demo_;
    std::optional<EffectProfiler> profiler_;
    int demoStart_ = 0;
    int endTime_ = 0;
    // The author overlay, drawn over each finished frame before it is read back.
    std::optional<Overlay> overlay_;
    std::optional<Transport> transport_;
    OverlayState overlayState_;
};

// The sink the renderer writes to: `target` on a thread of its own, behind a
// queue of up to 64 MB of frames (2 to 16), so drawing and encoding overlap.
std::unique_ptr<FrameSink> queued(std::unique_ptr<FrameSink> target, const CaptureOptions& o) {
    const std::size_t frameBytes = static_cast<std::size_t>(o.width) * o.height * 4;
    const std::size_t capacity = std::clamp<std::size_t>((64u << 20) / frameBytes, 2, 16);
    return std::make_unique<QueuedSink>(std::move(target), capacity);
}

// Frames of [first, end) at the rate go into sink; the ones before are drawn only.
int captureSequence(const CaptureOptions& o, vantor::platform::OffscreenGL& gl, OffscreenDemo& demo, FrameSink& sink,
                    long long first, long long end) {
    ProgressLine progress(o.quiet, end);
    std::string error;
    for (long long n = 0; n < end; ++n) {
        const int time = frameTime(demo.demoStart(), n, o.fps);
        if (!demo.draw(time)) break;
        if (n >= first && !sink.write(time, gl.readPixels(), &error)) {
            progress.finish();
            return failure(error);
        }
        progress.update(n + 1, time);
    }
    progress.finish();
    if (!sink.finish(&error)) return failure(error);
    return 0;
}

// One picture per listed time, each after every frame of the rate before it.
int capturePictures(const CaptureOptions& o, vantor::platform::OffscreenGL& gl, OffscreenDemo& demo, FrameSink& sink) {
    const int start = demo.demoStart();
    if (o.at.front() < start)
        return failure("--at " + std::to_string(o.at.front()) + " lies before the script's DEMOSTART " +
                       std::to_string(start));
    // The frames of the rate up to the last picture, and one more for each
    // picture between two of them.
    long long total = firstFrameAt(start, o.at.back(), o.fps);
    for (int at : o.at)
        if (frameTime(start, firstFrameAt(start, at, o.fps), o.fps) != at) ++total;
    if (frameTime(start, firstFrameAt(start, o.at.back(), o.fps), o.fps) == o.at.back()) ++total;
    ProgressLine progress(o.quiet, total);
    std::string error;
    auto fail = [&](const std::string& text) {
        progress.finish();
        return failure(text);
    };
    long long n = 0, drawn = 0;
    for (int at : o.at) {
        for (; frameTime(start, n, o.fps) < at; ++n) {
            if (!demo.draw(frameTime(start, n, o.fps))) return fail("the demo ended before " + std::to_string(at));
            progress.update(++drawn, frameTime(start, n, o.fps));
        }
        if (!demo.draw(at)) return fail("the demo ended before " + std::to_string(at));
        if (!sink.write(at, gl.readPixels(), &error)) return fail(error);
        progress.update(++drawn, at);
        // A time on the rate's grid was that frame itself.
        if (frameTime(start, n, o.fps) == at) ++n;
    }
    progress.finish();
    if (!sink.finish(&error)) return failure(error);
    return 0;
}

}  // namespace

int runCapture(const CaptureOptions& given) {
    CaptureOptions o = given;
    if (o.output == CaptureOptions::Output::Video && !programOnPath("ffmpeg"))
        return failure(
            "ffmpeg is needed to write a video but is not installed (Debian: apt-get install ffmpeg); "
            "or write PNG files instead: vantor-capture [options] DIR/");

    // Standard output is the profile table's alone: the image cache's and
    // the readers' progress lines are off.
    vantor::log::setProgressQuiet(true);
    std::string error;
    auto gl = vantor::platform::OffscreenGL::create(o.width, o.height, &error);
    if (!gl) return failure("no offscreen OpenGL context: " + error);
    // With --data, the folder's files over the archive's.
    std::optional<FolderFiles> folder;
    const ShippedDemoFiles shipped;
    const StartupFiles& files = o.data.empty() ? shipped.files() : folder.emplace(o.data).files();
    OffscreenDemo demo(*gl, files, o);
    // Times in the script's names read in the show's script.
    if (!resolveCaptureTimes(o, demo.script(), error)) return failure(error);

    int result = 0;
    if (o.output == CaptureOptions::Output::Pictures) {
        auto folder = std::make_unique<PngFolderSink>(o.path, o.width, o.height, PngFolderSink::Naming::ByTime);
        if (!folder->open(&error)) return failure(error);
        result = capturePictures(o, *gl, demo, *queued(std::move(folder), o));
    } else {
        const int start = demo.demoStart();
        // Nothing is drawn past the end of the show: the loop ends there.
        const int to = std::min(o.to.value_or(demo.endTime()), demo.endTime());
        if (to <= start)
            return failure("nothing to capture: --to " + std::to_string(to) + " is not after the script's DEMOSTART " +
                           std::to_string(start));
        const long long first = firstFrameAt(start, o.from.value_or(start), o.fps);
        const long long end = firstFrameAt(start, to, o.fps);
        if (first >= end) return failure("no frame of the rate lies between --from and --to");
        std::unique_ptr<FrameSink> sink;
        if (o.output == CaptureOptions::Output::Video) {
            VideoSettings video;
            video.path = o.path;
            video.width = o.width;
            video.height = o.height;
            video.fps = o.fps;
            video.soundtrack = files.soundtrack;
            video.audioStartMs = start + double(first) * 1000.0 / o.fps;
            video.frames = end - first;
            sink = VideoSink::start(video, &error);
            if (!sink) return failure(error);
        } else {
            auto folder = std::make_unique<PngFolderSink>(o.path, o.width, o.height, PngFolderSink::Naming::Numbered);
            if (!folder->open(&error)) return failure(error);
            sink = std::move(folder);
        }
        result = captureSequence(o, *gl, demo, *queued(std::move(sink), o), first, end);
    }
    if (result == 0 && demo.profiler()) demo.profiler()->printTable(stdout);
    return result;
}
