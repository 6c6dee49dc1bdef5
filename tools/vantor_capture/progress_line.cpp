#include "tools/vantor_capture/progress_line.h"

#include <cstdio>

ProgressLine::ProgressLine(bool quiet, long long totalFrames)
    : quiet_(quiet), total_(totalFrames), started_(Clock::now()), lastShown_(started_) {}

void ProgressLine::update(long long framesDone, int musicTime) {
    if (quiet_) return;
    const auto now = Clock::now();
    if (now - lastShown_ < std::chrono::milliseconds(500) && framesDone < total_) return;
    lastShown_ = now;
    const double seconds = std::chrono::duration<double>(now - started_).count();
    const double fps = seconds > 0 ? double(framesDone) / seconds : 0.0;
    const long long left = fps > 0 && total_ > framesDone ? static_cast<long long>((total_ - framesDone) / fps) : 0;
    std::fprintf(stderr, "\rframe %lld/%lld  music %d.%03d s  %.1f fps  %lld:%02lld left   ", framesDone, total_,
                 musicTime / 1000, musicTime % 1000, fps, left / 60, left % 60);
    std::fflush(stderr);
    shown_ = true;
}

void ProgressLine::finish() {
    if (shown_) std::fputc('\n', stderr);
    shown_ = false;
}
