#include "scene/effects/visor_effect.h"

#include "effects/corner_capture.h"
#include "effects/ortho_matrices.h"
#include "effects/required_image.h"
#include "effects/textured_quad.h"
#include "kpx/kpx.h"
#include "platform/gl_api.h"

namespace {

// The image from the visor images' folder, as a texture; a missing image ends
// the program naming it.
std::unique_ptr<Texture> visorTexture(ImageLibrary& images, const char* name) {
    auto texture = std::make_unique<Texture>(requireImage(images, name, VisorEffect::kImageDirectory), GL_TEXTURE_2D);
    texture->uploadTexture();
    return texture;
}

}  // namespace

VisorEffect::VisorEffect(const char* sceneFile, ImageLibrary& images) : SceneEffect(sceneFile, images) {
    renderTexture_.reset(Texture::createRenderTexture(kCaptureSize, kCaptureSize));
    fullVisor_ = visorTexture(images, kFullVisorImage);
    frontVisor_ = visorTexture(images, kFrontVisorImage);
    reflector_ = &requireFaceMaterial(1);
    reflector_->setShading(ShadingMode::MirroredSphereMap);
}

void VisorEffect::signal(SignalValue value) {
    if (value.code == SOURCE) chooseDrawn(source_, value.intValue, *this);
}

void VisorEffect::drawSource(int time) {
    // The glow scene's next camera is another code than the other scenes':
    // each source gets the one it takes.
    const auto* scene = dynamic_cast<const SceneEffect*>(source_);
    source_->signal(SignalValue(scene ? scene->nextCameraCode() : NEXT_CAMERA, 0));
    source_->run(time);
    source_->post();
}

void VisorEffect::prepare(int time) {
    if (!source_) return;
    captureCorner(kCaptureSize, kCaptureSize, renderTexture_->glName(), [&] { drawSource(time); });
    glDisable(GL_TEXTURE_2D);
}

void VisorEffect::run(int time) {
    reflector_->setReflectionTexture(renderTexture_.get());

    glColor4f(1, 1, 1, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawVisorImage(*fullVisor_);
    glDisable(GL_BLEND);

    if (!scene) return;

    // Ten times the usual rate: one scene unit a millisecond at speed 10.
    const float t = sceneTime(time) * 10.0f;
    glDepthMask(GL_FALSE);
    reflector_->setBlend(true);
    scene->update(t);
    glPushMatrix();
    scene->draw();
    glPopMatrix();
    reflector_->setBlend(false);

    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawVisorImage(*frontVisor_);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);

    if (source_) drawSource(time);
    endSceneDrawing();
}

void VisorEffect::drawVisorImage(const Texture& texture) const {
    const kpximage* image = texture.image();
    const double w = image->width, h = image->height;
    pushOrthoMatrices(0, w / referenceWidth_, h / referenceHeight_, 0);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    texture.bind();
    texturedQuad(0, 0, 1, 1);
    glEnable(GL_DEPTH_TEST);
    popOrthoMatrices();
}
