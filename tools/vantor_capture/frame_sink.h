// Where captured frames go: a video encoder or a folder of PNG files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class FrameSink {
public:
    virtual ~FrameSink() = default;

    // One frame drawn at music time `time`: RGBA bytes, top row first, which
    // the sink takes over. False
    // (with the reason in *error) when it could not be written.
    virtual bool write(int time, std::vector<std::uint8_t> rgba, std::string* error) = 0;
    // Completes the output after the last frame. False with the reason.
    virtual bool finish(std::string* error) = 0;
};
