#include "scene/material.h"

#include "platform/gl_api.h"

const Material* currentMaterial = nullptr;

Material::Material() : celTexture_(std::make_unique<Texture>(GL_TEXTURE_1D)) {
    celTexture_->load("celpalette.pcx", nullptr);
}

Material::~Material() {
    if (currentMaterial == this) currentMaterial = nullptr;
}

Texture* Material::keepTexture(Texture* texture) {
    if (texture) keptTextures_.emplace_back(texture);
    return texture;
}

namespace {

void materialColour(GLenum which, const Vec3& c) {
    const GLfloat rgba[4] = {c.x, c.y, c.z, 1.0f};
    glMaterialfv(GL_FRONT, which, rgba);
}

void unit(int n) { glActiveTextureARB(n == 0 ? GL_TEXTURE0_ARB : GL_TEXTURE1_ARB); }

}  // namespace

void Material::apply() const {
    switch (shading) {
    case ShadingMode::LitTextured:
        materialColour(GL_AMBIENT, ambient);
        materialColour(GL_DIFFUSE, diffuse);
        materialColour(GL_SPECULAR, shininessStrength > 0.01f ? specular * shininessStrength : Vec3());
        glMaterialf(GL_FRONT, GL_SHININESS, shininess);
        glEnable(GL_LIGHTING);
        unit(1);
        glDisable(GL_TEXTURE_2D);
        if (baseTexture_) {
            unit(0);
            glEnable(GL_TEXTURE_2D);
            baseTexture_->bind();
        }
        glDisable(GL_BLEND);
        glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SINGLE_COLOR);
        break;
    case ShadingMode::SphereMap:
    case ShadingMode::MirroredSphereMap:
        glDisable(GL_LIGHTING);
        glDisable(GL_BLEND);
        unit(1);
        glDisable(GL_TEXTURE_2D);
        if (reflectionTexture_) {
            unit(0);
            glEnable(GL_TEXTURE_2D);
            reflectionTexture_->bind();
        }
        break;
    case ShadingMode::TexturedReflection:
        glDisable(GL_LIGHTING);
        glDisable(GL_BLEND);
        if (baseTexture_ && reflectionTexture_) {
            unit(0);
            baseTexture_->bind();
            glEnable(GL_TEXTURE_2D);
            unit(1);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
            reflectionTexture_->bind();
            glEnable(GL_TEXTURE_2D);
        }
        break;
    case ShadingMode::Cel:
    case ShadingMode::CelTextured:
        glDisable(GL_LIGHTING);
        glDisable(GL_BLEND);
        if (celTexture_) {
            glDisable(GL_TEXTURE_2D);
            glEnable(GL_TEXTURE_1D);
            celTexture_->bind();
        }
        if (shading == ShadingMode::CelTextured && baseTexture_) {
            unit(1);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
            glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_ADD_SIGNED_ARB);
            glEnable(GL_TEXTURE_2D);
            baseTexture_->bind();
            unit(0);
            glDisable(GL_TEXTURE_2D);
        }
        break;
    case ShadingMode::Lit:
        materialColour(GL_AMBIENT, ambient);
        materialColour(GL_DIFFUSE, diffuse);
        materialColour(GL_SPECULAR, specular);
        glMaterialf(GL_FRONT, GL_SHININESS, shininess);
        glEnable(GL_LIGHTING);
        glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
        unit(1);
        glDisable(GL_TEXTURE_2D);
        unit(0);
        glDisable(GL_TEXTURE_2D);
        break;
    }

    unit(0);
    if (alpha >= 1.0f) {
        glDisable(GL_BLEND);
    } else {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    if (twoSided) {
        glDisable(GL_CULL_FACE);
        glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    }
    if (additive) {
        unit(0);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
    }
    if (blend) {
        unit(0);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
}

void Material::unapply() const {
    switch (shading) {
    case ShadingMode::TexturedReflection:
        unit(1);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
        glDisable(GL_TEXTURE_2D);
        unit(0);
        break;
    case ShadingMode::Cel: glDisable(GL_TEXTURE_1D); break;
    case ShadingMode::CelTextured:
        unit(1);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
        glDisable(GL_TEXTURE_2D);
        unit(0);
        glDisable(GL_TEXTURE_1D);
        break;
    default: break;
    }
    if (twoSided) {
        glEnable(GL_CULL_FACE);
        glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    }
}
