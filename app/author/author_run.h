// vantor --data DIR: the demo in author mode.
#pragma once

#include <string>

struct AuthorOptions {
    std::string folder;    // the data folder played and watched
    bool control = false;  // commands on standard input, answers on standard output
    bool overlay = false;  // the overlay's panel from the start (T shows and hides it)
};

// Plays the folder over the shipped archive until Escape, the window's close
// box, the end of the show or "quit". Returns the process exit code.
int runAuthorMode(const AuthorOptions& options);
