// Standard output sent to /dev/null while the object lives: the demo's
// libraries print progress lines there ("loading ... from disk"), and the tool's
// own output (the profile table) must stand alone.
#pragma once

class SilencedStdout {
public:
    SilencedStdout();
    ~SilencedStdout();
    SilencedStdout(const SilencedStdout&) = delete;
    SilencedStdout& operator=(const SilencedStdout&) = delete;

    // Gives standard output back (also done by the destructor).
    void restore();

private:
    int saved_ = -1;
};
