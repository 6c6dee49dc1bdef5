// What meshcaster's drawing commands share: scene errors end the tool with
// the message on stderr (never a box), and the image cache's progress lines
// are kept off standard output while scenes load.
#pragma once

#include <string>

[[noreturn]] void reportSceneErrorAndExit(const std::string& message);

// Sends standard output to /dev/null while it lives.
class QuietStdout {
public:
    QuietStdout();
    ~QuietStdout();
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    int saved_ = -1;
};
