#include "tools/meshcaster/quiet_stdout.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

void reportSceneErrorAndExit(const std::string& message) {
    std::string text = message;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    std::fflush(stdout);
    std::fprintf(stderr, "meshcaster: %s\n", text.c_str());
    std::exit(1);
}

QuietStdout::QuietStdout() {
    std::fflush(stdout);
    saved_ = dup(STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
        dup2(null, STDOUT_FILENO);
        close(null);
    }
}

QuietStdout::~QuietStdout() {
    std::fflush(stdout);
    if (saved_ >= 0) {
        dup2(saved_, STDOUT_FILENO);
        close(saved_);
    }
}
