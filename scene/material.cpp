#include "scene/material.h"

#include "platform/gl_api.h"

const Material* currentMaterial = nullptr;

Material::Material(ImageLibrary* textureLibrary) : celTexture_(std::make_unique<Texture>(GL_TEXTURE_1D)) {
    celTexture_->load(textureLibrary, "celpalette.pcx", nullptr);
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

// Lit and textured: the material's colours, specular scaled by its strength,
// one colour sum for the lighting; the base texture on unit 0.
void applyLitTextured(const Material& m) {
    materialColour(GL_AMBIENT, m.ambient);
    materialColour(GL_DIFFUSE, m.diffuse);
    materialColour(GL_SPECULAR, m.shininessStrength > 0.01f ? m.specular * m.shininessStrength : Vec3());
    glMaterialf(GL_FRONT, GL_SHININESS, m.shininess);
    glEnable(GL_LIGHTING);
    unit(1);
    glDisable(GL_TEXTURE_2D);
    if (Texture* base = m.baseTexture()) {
        unit(0);
        glEnable(GL_TEXTURE_2D);
        base->bind();
    }
    glDisable(GL_BLEND);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SINGLE_COLOR);
}

// Sphere-mapped (plain or mirrored): unlit, the reflection texture on unit 0.
void applySphereMap(const Material& m) {
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    unit(1);
    glDisable(GL_TEXTURE_2D);
    if (Texture* reflection = m.reflectionTexture()) {
        unit(0);
        glEnable(GL_TEXTURE_2D);
        reflection->bind();
    }
}

// Textured with a reflection: unlit, the base texture on unit 0 and the
// reflection added on unit 1, when the material has both.
void applyTexturedReflection(const Material& m) {
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    Texture* base = m.baseTexture();
    Texture* reflection = m.reflectionTexture();
    if (base && reflection) {
        unit(0);
        base->bind();
        glEnable(GL_TEXTURE_2D);
        unit(1);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
        reflection->bind();
        glEnable(GL_TEXTURE_2D);
    }
}

// Cel shading: unlit, the cel palette as a 1D texture on unit 0; textured cel
// shading adds the base texture (signed) on unit 1.
void applyCel(const Material& m) {
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    if (Texture* cel = m.celTexture()) {
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_TEXTURE_1D);
        cel->bind();
    }
    Texture* base = m.baseTexture();
    if (m.shading == ShadingMode::CelTextured && base) {
        unit(1);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_ADD_SIGNED_ARB);
        glEnable(GL_TEXTURE_2D);
        base->bind();
        unit(0);
        glDisable(GL_TEXTURE_2D);
    }
}

// Lit without textures: the material's colours, specular added after
// texturing.
void applyLit(const Material& m) {
    materialColour(GL_AMBIENT, m.ambient);
    materialColour(GL_DIFFUSE, m.diffuse);
    materialColour(GL_SPECULAR, m.specular);
    glMaterialf(GL_FRONT, GL_SHININESS, m.shininess);
    glEnable(GL_LIGHTING);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    unit(1);
    glDisable(GL_TEXTURE_2D);
    unit(0);
    glDisable(GL_TEXTURE_2D);
}

// What every shading mode shares: alpha blending below full alpha, two-sided
// faces, then the additive and blend switches over that.
void applyBlendAndSides(const Material& m) {
    unit(0);
    if (m.alpha >= 1.0f) {
        glDisable(GL_BLEND);
    } else {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    if (m.twoSided) {
        glDisable(GL_CULL_FACE);
        glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    }
    if (m.additive) {
        unit(0);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
    }
    if (m.blend) {
        unit(0);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
}

}  // namespace

void Material::apply() const {
    switch (shading) {
    case ShadingMode::LitTextured: applyLitTextured(*this); break;
    case ShadingMode::SphereMap:
    case ShadingMode::MirroredSphereMap: applySphereMap(*this); break;
    case ShadingMode::TexturedReflection: applyTexturedReflection(*this); break;
    case ShadingMode::Cel:
    case ShadingMode::CelTextured: applyCel(*this); break;
    case ShadingMode::Lit: applyLit(*this); break;
    }
    applyBlendAndSides(*this);
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
