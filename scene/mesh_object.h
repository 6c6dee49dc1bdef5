// Triangle meshes and billboards.
//
// A MeshObject owns its vertices, texture coordinates and faces; faces refer to
// the mesh's own records. A mesh read without texture coordinates has faces
// whose coordinate references are null: they draw with (0, 0).
#pragma once

#include "scene/format/face_indices.h"
#include "scene/scene_object.h"

#include <cstdint>
#include <optional>
#include <vector>

class Material;

struct Vertex {
    Vec3 position;
    Vec3 normal;      // average of the surrounding face normals
    Vec3 eyeNormal;   // normal turned into eye space on every draw
    float shade = 0;  // cel-shading coordinate, set on every cel draw
};

// v is already negated by the reader: the file's v axis points the other way.
struct TexCoord {
    Vec2 uv;
};

struct Face {
    Vertex* vertices[3] = {nullptr, nullptr, nullptr};
    TexCoord* texCoords[3] = {nullptr, nullptr, nullptr};
    Vec2 unit0Coords[3];  // filled while drawing
    Vec2 unit1Coords[3];
    Vec3 normal;
    std::int32_t materialId = 0;
    Material* material = nullptr;  // set by bindMaterials
};

class MeshObject : public SceneObject {
public:
    // Takes the geometry; face indices must lie inside the given records (a
    // coordinate index may be anything when there are no coordinates). Returns
    // false, keeping no faces, when one does not. A material id of -1 becomes 0.
    bool setGeometry(std::vector<Vec3> positions, std::vector<Vec2> coords, const std::vector<FaceIndices>& faces);

    std::size_t vertexCount() const { return vertices_.size(); }
    std::size_t texCoordCount() const { return texCoords_.size(); }
    std::size_t faceCount() const { return faces_.size(); }
    std::vector<Vertex>& vertices() { return vertices_; }
    const std::vector<Vertex>& vertices() const { return vertices_; }
    std::vector<Face>& faces() { return faces_; }
    const std::vector<Face>& faces() const { return faces_; }
    const std::vector<TexCoord>& texCoords() const { return texCoords_; }

    // The first face's material (none without faces or before binding); effects
    // change a material after loading through it.
    Material* firstMaterial() const { return faces_.empty() ? nullptr : faces_[0].material; }

    void drawGeometry() override;
    // Every vertex position p becomes rotation . p + position.
    void bakeTransform() override;

protected:
    // Face normals, then vertex normals as the average of the faces around them.
    void prepareOwnGeometry() override;
    // Each face finds its material by id; a missing one ends the program.
    void bindOwnMaterials(Scene& scene) override;
    void setOwnShading(ShadingMode mode) override;

    // One triangle with the recipe of its material's shading mode, the
    // material applied when it changes; or, for the cel outline pass, with the
    // untextured recipe and the material left alone.
    enum class FacePass { Material, Outline };
    void drawFace(Face& face, FacePass pass);

private:
    std::vector<Vertex> vertices_;
    std::vector<TexCoord> texCoords_;
    std::vector<Face> faces_;
};

// A mesh whose name starts with "Bill": drawn as a view-facing quad of the
// first face's material, its lower-left corner on the object's origin and its
// size falling with the inverse of the distance.
class BillboardObject : public MeshObject {
public:
    float width = 20000.0f;
    float height = 10000.0f;

    void drawGeometry() override;
    void bakeTransform() override {}
};

// The drawn half-size of a billboard whose origin lies at eye depth `depth`
// (negative in front of the camera): width and height over -depth. None on the
// eye plane, or so near it that the size is no usable number; the billboard is
// then not drawn in that frame.
struct BillboardSize {
    float width, height;
};
std::optional<BillboardSize> billboardSize(float width, float height, float depth);
