#include "tests/scene/effects/startup_archive_fixture.h"

#include "app/demo_gl_state.h"
#include "runtime/startup_files.h"
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"

namespace vantor::test {

void StartupArchiveTest::SetUp() {
    GlTest::SetUp();
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(VANTOR_DEMO_DIR);
    ASSERT_TRUE(std::filesystem::exists(kDemoFiles.archive)) << "build the demo archive first";
    ppd_set_archive(kDemoFiles.archive, kDemoFiles.password);
    images.setPath(kDemoFiles.imagePath);
    if (kpx_verbose()) kpx_verbose_off();
}

void StartupArchiveTest::TearDown() {
    ppd_clear_archive();
    std::filesystem::current_path(previous_);
}

void StartupArchiveTest::demoProjection() {
    setDemoProjection(kWidth, kHeight);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
}

}  // namespace vantor::test
