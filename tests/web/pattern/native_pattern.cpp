// Draws the test pattern on the native GL (an offscreen context) and writes
// it as a PNG: the reference the browser's frame is compared with.
#include <cstdio>
#include <string>

#include "libs/png/png_writer.h"
#include "platform/gl_api.h"
#include "platform/offscreen_gl.h"
#include "test_pattern.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
        return 2;
    }
    std::string error;
    auto gl = vantor::platform::OffscreenGL::create(vantor::test::kPatternWidth, vantor::test::kPatternHeight, &error);
    if (!gl) {
        std::fprintf(stderr, "no GL context: %s\n", error.c_str());
        return 1;
    }
    vantor::test::drawTestPattern();
    if (!writePng(argv[1], gl->width(), gl->height(), gl->readPixels(), &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
