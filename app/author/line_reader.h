// Lines of a stream read on a thread of their own, so that the frame loop
// never waits for input: the loop takes whatever lines have arrived.
#pragma once

#include <memory>
#include <optional>
#include <string>

class LineReader {
public:
    // Starts reading fd (e.g. 0, standard input) at once. The reading thread
    // ends at the end of the input; it is left to the end of the process
    // when the reader goes first, since a read cannot be interrupted.
    explicit LineReader(int fd);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line that has arrived (without its line end), if any.
    std::optional<std::string> take();
    // True once the input has ended and every line was taken.
    bool ended();

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};
