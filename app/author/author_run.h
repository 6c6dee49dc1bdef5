// vantor --data DIR: the demo in author mode.
#pragma once

#include <string>

struct AuthorOptions {
    std::string folder;    // the data folder played and watched
    bool control = false;  // commands on standard input, answers on standard output
    bool overlay = false;  // the overlay's panel from the start (T shows and hides it)
    bool verbose = false;  // the image readers' progress lines (off otherwise)
};

// Plays the folder over the shipped archive until Escape, the window's close
// box, or "quit" (the show holds at its end). Returns the process exit code.
int runAuthorMode(const AuthorOptions& options);
