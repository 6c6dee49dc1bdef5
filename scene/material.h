// How the faces that use a material are drawn: colours for OpenGL lighting, up
// to two 2D textures, a shading mode choosing one of seven drawing recipes
// (scene/format/shading_mode.h), and blending flags. Every material also carries the
// 1D cel-palette texture read from "celpalette.pcx" (without it the cel modes
// draw without the palette).
#pragma once

#include "scene/scene_node.h"
#include "scene/format/shading_mode.h"
#include "scene/texture.h"
#include "scene/format/vector.h"

#include <memory>
#include <vector>

class Material : public SceneNode<Material> {
public:
    // Defaults, and the cel palette loaded from the texture library; without
    // one the program ends through SceneError ("no imglib for texture").
    explicit Material(ImageLibrary* textureLibrary);
    ~Material();
    Material(const Material&) = delete;
    Material& operator=(const Material&) = delete;

    Vec3 ambient{0.2f, 0.2f, 0.2f};
    Vec3 diffuse{0.8f, 0.8f, 0.8f};
    Vec3 specular{0, 0, 0};
    float shininess = 50.0f;         // the OpenGL exponent
    float shininessStrength = 0.0f;  // scales the specular colour in LitTextured
    ShadingMode shading = ShadingMode::Lit;
    float alpha = 1.0f;     // below 1 the faces are alpha-blended
    bool twoSided = false;  // no culling, two-sided lighting
    bool additive = false;  // blending with factors (1, 1)
    bool blend = false;     // blending with (alpha, 1 - alpha)

    // The slots do not own their textures: effects set textures they own
    // themselves (a render target, for instance). Textures loaded for the
    // material are handed to keepTexture, which keeps them as long as the
    // material lives.
    void setBaseTexture(Texture* texture) { baseTexture_ = texture; }
    void setReflectionTexture(Texture* texture) { reflectionTexture_ = texture; }
    Texture* keepTexture(Texture* texture);
    Texture* baseTexture() const { return baseTexture_; }
    Texture* reflectionTexture() const { return reflectionTexture_; }
    Texture* celTexture() const { return celTexture_.get(); }

    void setShading(ShadingMode mode) { shading = mode; }
    void setBlend(bool on) { blend = on; }

    // Sets and undoes the OpenGL state of this material.
    void apply() const;
    void unapply() const;

private:
    Texture* baseTexture_ = nullptr;
    Texture* reflectionTexture_ = nullptr;
    std::unique_ptr<Texture> celTexture_;
    std::vector<std::unique_ptr<Texture>> keptTextures_;
};

// The material whose state was last applied while drawing faces; reset at the
// start of every mesh draw.
extern const Material* currentMaterial;
