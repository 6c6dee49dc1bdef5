#include "scene/effects/glow_scene_effect.h"

#include "runtime/fatal_error.h"
#include "effects/corner_capture.h"
#include "effects/ortho_matrices.h"
#include "effects/required_image.h"
#include "effects/textured_quad.h"
#include "kpx/kpx.h"
#include "platform/gl_api.h"
#include "scene/effects/screen_projection.h"

#include <algorithm>
#include <string>

GlowSceneEffect::GlowSceneEffect(const char* sceneFile, const char* holeMapName, ImageLibrary& images)
    : SceneEffect(sceneFile, images) {
    speed = 50.0f;
    levels_.fill(kBaseLevel);
    const kpximage* holeMap = requireImage(images, holeMapName);
    for (int k = 0; k < kGlowCount; ++k) {
        glActiveTextureARB(GL_TEXTURE0_ARB);
        glowTextures_[k].reset(Texture::createRenderTexture(glowSize_, glowSize_));
        glowObjects_[k] = &requireObject(kGlowIds[k]);
    }

    Texture* texture = requireFaceMaterial(kGlowIds[0]).baseTexture();
    const kpximage* image = texture ? texture->image() : nullptr;
    if (!image || !image->image || image->bpp != 32 || !texture->glName()) {
        const std::string text =
            "scene " + this->sceneFile() + " has no base texture on object " + std::to_string(kGlowIds[0]);
        fatalError(text);
    }
    cutHoles(*texture, *holeMap);
}

void GlowSceneEffect::cutHoles(Texture& texture, const kpximage& holeMap) {
    kpximage& image = *texture.image();
    const std::size_t texels = std::size_t(image.width) * image.height;
    const std::size_t holeBytes = holeMap.image ? kpx_image_size(&holeMap) : 0;
    const std::size_t count = std::min(texels, holeBytes);
    for (std::size_t i = 0; i < count; ++i) image.image[4 * i + 3] = holeMap.image[i];
    texture.bind();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, image.width, image.height, GL_RGBA, GL_UNSIGNED_BYTE, image.image);
}

void GlowSceneEffect::init(int time) { startTime = lastCycle_ = lastPulse_ = time; }

void GlowSceneEffect::signal(SignalValue value) {
    const int v = value.intValue;
    switch (value.code) {
    case SPEED: speed = static_cast<float>(v); break;
    case GLOW_NEXT_CAMERA: scene->nextCamera(); break;
    case GLOW_CAMERA: scene->selectCamera(v); break;
    case GLOW_PERIOD:
        period_ = v;
        lastPulse_ = v / 2 + lastCycle_;
        break;
    case GLOW_LEVEL1:
    case GLOW_LEVEL2:
    case GLOW_LEVEL3:
    case GLOW_LEVEL4: levels_[value.code - GLOW_LEVEL1] = static_cast<float>(v) / 100.0f; break;
    default: break;
    }
}

void GlowSceneEffect::setGlowScale(float s) {
    for (SceneObject* o : glowObjects_) o->setScale({s, s, s});
}

void GlowSceneEffect::setGlowsVisible(bool visible) {
    for (SceneObject* o : glowObjects_) o->setVisible(visible);
}

void GlowSceneEffect::prepare(int time) {
    const float t = sceneTime(time);
    scene->update(t);
    glowObjects_[0]->setEulerDegrees(t, 2 * t, t);
    glowObjects_[1]->setEulerDegrees(2 * t, t, t);
    glowObjects_[2]->setEulerDegrees(t, t, 2 * t);
    glowObjects_[3]->setEulerDegrees(2 * t, 2 * t, t);

    const int centre = captureSize_ / 2;
    glPushMatrix();
    drawInCorner(captureSize_, captureSize_, [&] {
        glColor4f(1, 1, 1, 1);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.9f);

        // Each object alone: the first shown, the others hidden, then one
        // after the other.
        setGlowsVisible(false);
        glowObjects_[0]->setVisible(true);
        for (int k = 0; k < kGlowCount; ++k) {
            scene->draw();
            // An object on the eye plane has no screen position: its glow
            // keeps the last capture.
            if (const auto p =
                    projectToScreen(glowObjects_[k]->position(), captureSize_, captureSize_, centre, centre)) {
                glowTextures_[k]->bind();
                glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, p->x - glowSize_ / 2, p->y - glowSize_ / 2, glowSize_,
                                    glowSize_);
            }
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            if (k + 1 < kGlowCount) {
                glowObjects_[k]->setVisible(false);
                glowObjects_[k + 1]->setVisible(true);
            }
        }
        setGlowsVisible(true);

        glDisable(GL_ALPHA_TEST);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    });
    glPopMatrix();
    endSceneDrawing();
}

void GlowSceneEffect::start() {
    steps_.resume();
    SceneEffect::start();
}

void GlowSceneEffect::advance(int time) {
    if (running && scene)
        steps_.catchUp(stepOrigin, time, false, [this](int t) { step(t); });
    else
        steps_.skipTo(stepOrigin, time);
}

void GlowSceneEffect::step(int time) {
    if (static_cast<long long>(time) - lastCycle_ > period_) {
        levels_[current_] = kBaseLevel;
        current_ = (current_ + 1) % kGlowCount;
        levels_[current_] = kHighlightLevel;
        lastCycle_ = time;
    }
    if (static_cast<long long>(time) - lastPulse_ > period_) {
        pulse_ = kPulseLevel;
        lastPulse_ = time;
    }
    if (pulse_ > 0) {
        // The whole time since the last pulse comes off in every frame.
        pulse_ -= static_cast<float>(static_cast<long long>(time) - lastPulse_) / 1000.0f;
        if (pulse_ < 0) pulse_ = 0;
    }
}

void GlowSceneEffect::run(int time) {
    if (!scene) return;
    steps_.catchUp(stepOrigin, time, true, [this](int t) { step(t); });

    glColor4f(1, 1, 1, 1);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int x0 = viewport[0], y0 = viewport[1], w = viewport[2], h = viewport[3];

    glPushMatrix();
    setGlowScale(1.4f);
    scene->draw();
    setGlowScale(1.0f);

    // The glows are placed by the camera view the scene's drawing left.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
    for (int k = 0; k < kGlowCount; ++k) {
        const auto p = projectToScreen(glowObjects_[k]->position(), w, h, (w - x0) / 2, (h - y0) / 2);
        if (p) drawGlow(k, p->x, h - p->y, w, h);
    }
    glPopMatrix();
    endSceneDrawing();
}

void GlowSceneEffect::drawGlow(int k, int x, int y, int w, int h) const {
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glowTextures_[k]->bind();
    glDisable(GL_DEPTH_TEST);

    pushOrthoMatrices(0, w, h, 0);
    glTranslatef(static_cast<float>(x), static_cast<float>(y), 0);
    // Twice the glow's size in pixels of the 640 x 480 show: a larger show
    // draws it as much larger, so it keeps its share of the picture.
    const float scale = 2.0f * std::max(1.0f, static_cast<float>(h) / 480.0f);
    glScalef(scale, scale, 2);

    const float g = static_cast<float>(glowSize_);
    float s = 0.0f;
    float a = levels_[k] + pulse_;
    // Each layer takes less of the texture (s at each edge), so it shows the
    // picture larger, and fainter.
    for (int layer = 0; layer < kLayers; ++layer) {
        glColor4f(1, 1, 1, a);
        texturedQuad(-g, g, g, -g, {s, s, 1 - s, 1 - s});
        s += 0.025f;
        a -= 0.008f;
    }

    popOrthoMatrices();
    glEnable(GL_DEPTH_TEST);
}
