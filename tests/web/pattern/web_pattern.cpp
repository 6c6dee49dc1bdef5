// The test pattern in the browser, drawn through the GL layer over WebGL.
#include <string>

#include "test_pattern.h"
#include "web/gl/gl_layer.h"
#include "web/platform/web_canvas.h"

int main() {
    std::string error;
    if (!vantor::web::startCanvas("#canvas", vantor::test::kPatternWidth, vantor::test::kPatternHeight, &error)) {
        vantor::web::reportError(error);
        return 1;
    }
    vantor::test::drawTestPattern();
    vantor::webgl::finishFrame();
    vantor::web::reportDone();
    return 0;
}
