// An MP3 file decoded to interleaved 16-bit stereo at the file's own rate.
//
// Decoding is gapless (encoder delay and padding removed) and seeking is exact
// to the sample. Mono files are played on both channels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct mpg123_handle_struct;

namespace vantor::platform {

// A source of interleaved 16-bit stereo sample frames.
class PcmSource {
public:
    virtual ~PcmSource() = default;
    // Writes up to `frames` frames; returns how many (0: the end of the data).
    virtual std::size_t readFrames(std::int16_t* out, std::size_t frames) = 0;
};

class Mp3Decoder : public PcmSource {
public:
    Mp3Decoder() = default;
    ~Mp3Decoder() override;
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // Opens the file and reads its format. False when it cannot be opened or
    // holds no decodable MPEG audio.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return handle_ != nullptr; }

    int rate() const { return rate_; }
    // Length in sample frames (exact: the whole file is scanned at open).
    std::int64_t lengthFrames() const { return length_; }

    std::size_t readFrames(std::int16_t* out, std::size_t frames) override;

    // Moves to a sample frame; a frame past the end moves to the end.
    // Negative frames move to the start. False when the decoder refused.
    bool seekFrame(std::int64_t frame);

    // The frame the next readFrames starts with.
    std::int64_t positionFrames() const { return position_; }

private:
    ::mpg123_handle_struct* handle_ = nullptr;
    int rate_ = 0;
    std::int64_t length_ = 0;
    std::int64_t position_ = 0;
    bool ended_ = false;
};

}  // namespace vantor::platform
