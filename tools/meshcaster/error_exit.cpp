#include "tools/meshcaster/error_exit.h"

#include <cstdio>
#include <cstdlib>

void reportSceneErrorAndExit(const std::string& message) {
    std::string text = message;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    std::fflush(stdout);
    std::fprintf(stderr, "meshcaster: %s\n", text.c_str());
    std::exit(1);
}
