#include "tools/vantor_capture/silenced_stdout.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

SilencedStdout::SilencedStdout() {
    std::fflush(stdout);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0) return;
    saved_ = dup(STDOUT_FILENO);
    if (saved_ >= 0) dup2(null, STDOUT_FILENO);
    close(null);
}

SilencedStdout::~SilencedStdout() { restore(); }

void SilencedStdout::restore() {
    if (saved_ < 0) return;
    std::fflush(stdout);
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
    saved_ = -1;
}
