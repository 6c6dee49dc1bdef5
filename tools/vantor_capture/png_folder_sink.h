// Frames as PNG files in a folder: numbered in capture order (000000.png,
// 000001.png, ...) or named by their music time (61440.png).
#pragma once

#include "tools/vantor_capture/frame_sink.h"

class PngFolderSink : public FrameSink {
public:
    enum class Naming { Numbered, ByTime };

    PngFolderSink(std::string folder, int width, int height, Naming naming);

    // Creates the folder when it does not exist yet.
    bool open(std::string* error);
    bool write(int time, std::vector<std::uint8_t> rgba, std::string* error) override;
    bool finish(std::string* error) override;

private:
    std::string folder_;
    int width_;
    int height_;
    Naming naming_;
    int written_ = 0;
};
