// MetaballObject: a scene object that is a metaball surface. Six balls move on
// their paths (BallPaths); every draw samples their field on the 38 x 38 x 38
// grid, extracts the surface at level 350 and draws its triangles with two
// textures: "galakse.jpg" laid flat along z on texture unit 0 and "blank
// metall.jpg" as a sphere map from the view-space normal on unit 1, added on
// top (GL_ADD). Hung under another object, it takes that object's transform.
#pragma once

#include "scene/metaball/metaball_field.h"
#include "scene/metaball/metaball_paths.h"
#include "scene/metaball/metaball_polygoniser.h"
#include "scene/scene_object.h"
#include "scene/texture.h"

#include <memory>
#include <vector>

class ImageLibrary;

class MetaballObject : public SceneObject {
public:
    static constexpr const char* kMetalTexture = "blank metall.jpg";
    static constexpr const char* kGalaxyTexture = "galakse.jpg";
    // Room for vertices and for their normals alike, four per grid point. A
    // frame that would need more (the grid allows up to twelve per cube) ends
    // its surface at the last triangle that fits.
    static constexpr int kVertexCapacity = 219488;

    // Loads the two textures from the directory through the image library; an
    // image that cannot be loaded ends the program through SceneError naming it.
    explicit MetaballObject(ImageLibrary& images, const char* textureDirectory = kSceneTextureDirectory);

    // Places the balls, computes the field, polygonises and draws.
    void drawGeometry() override;
    void bakeTransform() override {}

    // ---- the steps of a draw, one by one ---------------------------------------
    // The balls at the current offsets and angles.
    void placeBalls() { paths_.place(balls_); }
    // placeBalls, then the field of the balls.
    void computeField();
    // The surface of the current field into the vertex and normal lists.
    int polygonise();
    // The current lists as textured triangles (the model-view matrix holds
    // the object's transform).
    void drawSurface() const;

    metaball::BallPaths& paths() { return paths_; }
    const metaball::Ball (&balls() const)[metaball::kBallCount] { return balls_; }
    metaball::MetaballField& field() { return field_; }
    const std::vector<Vec3>& vertices() const { return vertices_; }
    const std::vector<Vec3>& normals() const { return normals_; }
    int vertexCount() const { return vertexCount_; }

protected:
    // The tracks, then the ball paths at the scene time.
    void updateSelf(float sceneTime) override;

private:
    metaball::BallPaths paths_;
    metaball::Ball balls_[metaball::kBallCount];
    metaball::MetaballField field_;
    metaball::Polygoniser polygoniser_;
    std::vector<Vec3> vertices_;
    std::vector<Vec3> normals_;
    int vertexCount_ = 0;
    std::unique_ptr<Texture> metal_;
    std::unique_ptr<Texture> galaxy_;
};
