// Frames into a video file through ffmpeg: raw RGBA frames on a pipe, encoded
// with H.264 (.mp4, .mkv) or VP9 (.webm), and the soundtrack muxed in from the
// music time of the first frame for exactly as long as the frames last.
//
// ffmpeg writes ".partial-NAME" next to the video; only a video completed
// without error takes the name asked for, so an interrupted or failed capture
// never leaves a cut-off file that looks finished.
#pragma once

#include "tools/vantor_capture/frame_sink.h"

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

struct VideoSettings {
    std::string path;  // .mp4, .mkv or .webm
    int width = 0;
    int height = 0;
    int fps = 0;
    std::string soundtrack;   // the MP3 to mux in
    double audioStartMs = 0;  // music time of the first frame
    long long frames = 0;     // frames that will be written
};

class VideoSink : public FrameSink {
public:
    // Starts ffmpeg. Null (with the reason in *error) when it cannot be started.
    static std::unique_ptr<VideoSink> start(const VideoSettings& settings, std::string* error);
    ~VideoSink() override;

    bool write(int time, std::vector<std::uint8_t> rgba, std::string* error) override;
    // Closes the pipe and waits for ffmpeg; false when it failed.
    bool finish(std::string* error) override;

    // ffmpeg's arguments for these settings (without the program name).
    static std::vector<std::string> arguments(const VideoSettings& settings);
    // Where ffmpeg writes until the video is complete.
    static std::string partialPath(const std::string& path);

private:
    VideoSink() = default;
    std::string path_;
    bool failed_ = false;
    int pipe_ = -1;
    pid_t child_ = -1;
};

// True when an executable of this name is on PATH.
bool programOnPath(const std::string& name);
