#include "tools/vantor_capture/video_sink.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {

bool endsWith(const std::string& text, const char* suffix) {
    const std::size_t n = std::strlen(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

std::string decimal(double value, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    return text;
}

}  // namespace

std::string VideoSink::partialPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, nameStart) + ".partial-" + path.substr(nameStart);
}

bool programOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::string list = path;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t colon = list.find(':', begin);
        std::string dir = list.substr(begin, colon - begin);
        if (dir.empty()) dir = ".";
        const std::string candidate = dir + "/" + name;
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return true;
        if (colon == std::string::npos) return false;
        begin = colon + 1;
    }
}

std::vector<std::string> VideoSink::arguments(const VideoSettings& s) {
    std::vector<std::string> args = {
        "-hide_banner", "-loglevel", "error", "-y",
        // The frames, as the renderer reads them back.
        "-f", "rawvideo", "-pix_fmt", "rgba", "-s", std::to_string(s.width) + "x" + std::to_string(s.height),
        "-framerate", std::to_string(s.fps), "-i", "-",
        // The soundtrack from the first frame's music time, as long as the frames last.
        "-ss", decimal(s.audioStartMs / 1000.0, 6), "-t", decimal(double(s.frames) / s.fps, 6), "-i",
        "file:" + s.soundtrack, "-map", "0:v:0", "-map", "1:a:0"};
    const std::vector<std::string> codecs =
        endsWith(s.path, ".webm")
            ? std::vector<std::string>{"-c:v",     "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8",
                                       "-row-mt",  "1",          "-b:v",      "0",        "-crf",      "32",
                                       "-pix_fmt", "yuv420p",    "-c:a",      "libopus",  "-b:a",      "160k"}
            // H.264 High profile, 4:2:0 and AAC stereo at 48 kHz: what video
            // platforms and parties' compo machines take as they are.
            : std::vector<std::string>{"-c:v",       "libx264", "-preset",  "veryfast", "-crf", "18",
                                       "-profile:v", "high",    "-pix_fmt", "yuv420p",  "-c:a", "aac",
                                       "-b:a",       "192k",    "-ar",      "48000",    "-ac",  "2"};
    args.insert(args.end(), codecs.begin(), codecs.end());
    if (endsWith(s.path, ".mp4")) args.insert(args.end(), {"-movflags", "+faststart"});
    args.push_back("file:" + partialPath(s.path));
    return args;
}

std::unique_ptr<VideoSink> VideoSink::start(const VideoSettings& settings, std::string* error) {
    int fds[2];
    if (pipe(fds) != 0) {
        if (error) *error = std::string("cannot make a pipe to ffmpeg: ") + std::strerror(errno);
        return nullptr;
    }
    std::vector<std::string> args = arguments(settings);
    args.insert(args.begin(), "ffmpeg");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    pid_t child = -1;
    const int spawned = posix_spawnp(&child, "ffmpeg", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    if (spawned != 0) {
        close(fds[1]);
        if (error) *error = std::string("cannot start ffmpeg: ") + std::strerror(spawned);
        return nullptr;
    }
    std::unique_ptr<VideoSink> sink(new VideoSink);
    sink->path_ = settings.path;
    sink->pipe_ = fds[1];
    sink->child_ = child;
    return sink;
}

VideoSink::~VideoSink() {
    std::string ignored;
    finish(&ignored);
}

bool VideoSink::write(int time, std::vector<std::uint8_t> rgba, std::string* error) {
    (void)time;
    const std::uint8_t* data = rgba.data();
    std::size_t left = rgba.size();
    while (left > 0) {
        const ssize_t n = ::write(pipe_, data, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed_ = true;
            if (error) *error = "ffmpeg stopped taking frames";
            return false;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

bool VideoSink::finish(std::string* error) {
    if (child_ < 0) return true;
    if (pipe_ >= 0) close(pipe_);
    pipe_ = -1;
    int status = 0;
    pid_t waited = -1;
    do {
        waited = waitpid(child_, &status, 0);
    } while (waited < 0 && errno == EINTR);
    child_ = -1;
    const std::string partial = partialPath(path_);
    if (waited > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 && !failed_ &&
        std::rename(partial.c_str(), path_.c_str()) == 0)
        return true;
    std::remove(partial.c_str());
    if (error) *error = "ffmpeg failed to write the video " + path_;
    return false;
}
