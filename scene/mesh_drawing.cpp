// Drawing of meshes and billboards in the object's frame: eye normals, the
// per-face recipes of the shading modes and the cel outline pass.
#include "platform/gl_api.h"
#include "scene/material.h"
#include "scene/mesh_object.h"
#include "scene/scene_error.h"

#include <algorithm>
#include <cmath>

namespace {

Vec2 sphereMap(const Vec3& eyeNormal) { return {0.5f * eyeNormal.x + 0.5f, 0.5f * eyeNormal.y + 0.5f}; }

Vec2 mirroredSphereMap(const Vec3& eyeNormal) { return {0.5f - 0.5f * eyeNormal.x, 0.5f * eyeNormal.y + 0.5f}; }

Vec2 meshCoordinate(const TexCoord* coordinate) { return coordinate ? coordinate->uv : Vec2(); }

}  // namespace

void MeshObject::drawGeometry() {
    if (faces_.empty()) return;
    const Material* first = faces_[0].material;
    const ShadingMode mode = first ? first->shading : ShadingMode::Lit;

    Matrix4 modelView;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.data());
    for (Vertex& v : vertices_) v.eyeNormal = modelView.rotate(v.normal);

    const bool cel = isCelShading(mode);
    if (cel) {
        Vec3 light(-1, 2, 1);
        light.normalize();
        for (Vertex& v : vertices_) v.shade = Vec3::dot(light, v.eyeNormal);
    }

    currentMaterial = nullptr;
    for (Face& face : faces_) drawFace(face, FacePass::Material);
    if (const Material* last = faces_.back().material) last->unapply();

    if (cel) {
        // Four pixels of the 640 x 480 show: a larger show draws the outline
        // as much wider, so it keeps its weight.
        GLint viewport[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, viewport);
        glLineWidth(4.0f * std::max(1.0f, static_cast<float>(viewport[3]) / 480.0f));
        glEnable(GL_CULL_FACE);
        glPolygonMode(GL_BACK, GL_LINE);
        glCullFace(GL_FRONT);
        glDepthMask(GL_FALSE);
        glEnable(GL_POLYGON_OFFSET_LINE);
        glPolygonOffset(5, 10);
        glColor3f(0, 0, 0);
        for (Face& face : faces_) drawFace(face, FacePass::Outline);
        glLineWidth(1);
        glPolygonMode(GL_BACK, GL_FILL);
        glDepthMask(GL_TRUE);
        glCullFace(GL_BACK);
        glDisable(GL_CULL_FACE);
        glDisable(GL_POLYGON_OFFSET_LINE);
        glColor3f(1, 1, 1);
    }
}

void MeshObject::drawFace(Face& face, FacePass pass) {
    ShadingMode mode = ShadingMode::Lit;
    if (pass == FacePass::Material) {
        if (!face.material) SceneError("No material for poly");
        if (face.material != currentMaterial) {
            currentMaterial = face.material;
            face.material->apply();
        }
        mode = face.material->shading;
    }

    for (int k = 0; k < 3; ++k) {
        const Vertex& v = *face.vertices[k];
        switch (mode) {
        case ShadingMode::LitTextured: face.unit0Coords[k] = meshCoordinate(face.texCoords[k]); break;
        case ShadingMode::SphereMap: face.unit0Coords[k] = sphereMap(v.eyeNormal); break;
        case ShadingMode::MirroredSphereMap: face.unit0Coords[k] = mirroredSphereMap(v.eyeNormal); break;
        case ShadingMode::TexturedReflection:
            face.unit0Coords[k] = meshCoordinate(face.texCoords[k]);
            face.unit1Coords[k] = sphereMap(v.eyeNormal);
            break;
        default: break;
        }
    }

    glBegin(GL_TRIANGLES);
    for (int k = 0; k < 3; ++k) {
        const Vertex& v = *face.vertices[k];
        glNormal3f(v.normal.x, v.normal.y, v.normal.z);
        switch (mode) {
        case ShadingMode::LitTextured:
        case ShadingMode::SphereMap:
        case ShadingMode::MirroredSphereMap: glTexCoord2fv(face.unit0Coords[k].data()); break;
        case ShadingMode::TexturedReflection:
            glMultiTexCoord2fvARB(GL_TEXTURE0_ARB, face.unit0Coords[k].data());
            glMultiTexCoord2fvARB(GL_TEXTURE1_ARB, face.unit1Coords[k].data());
            break;
        case ShadingMode::Cel: glTexCoord1f(v.shade); break;
        default: break;
        }
        glVertex3f(v.position.x, v.position.y, v.position.z);
    }
    glEnd();
}

std::optional<BillboardSize> billboardSize(float width, float height, float depth) {
    // Sizes beyond this are far off any view (as for the glow's projection).
    constexpr float kLargest = 1.0e8f;
    if (depth == 0.0f) return std::nullopt;
    const BillboardSize size{width / -depth, height / -depth};
    if (!std::isfinite(size.width) || !std::isfinite(size.height) || std::fabs(size.width) > kLargest ||
        std::fabs(size.height) > kLargest)
        return std::nullopt;
    return size;
}

void BillboardObject::drawGeometry() {
    if (faces().empty() || !faces()[0].material) return;
    Matrix4 modelView;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.data());
    const Vec3 c = modelView.transform(Vec3(0, 0, 0), 1.0f);
    const auto size = billboardSize(width, height, c.z);
    if (!size) return;  // on the eye plane: no size, nothing drawn this frame
    const float w = size->width;
    const float h = size->height;

    glPushMatrix();
    faces()[0].material->apply();
    glLoadIdentity();

    glDisable(GL_CULL_FACE);
    glColor4f(1, 1, 1, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_LIGHTING);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex3f(c.x, c.y, c.z);
    glTexCoord2f(1, 1);
    glVertex3f(c.x + 2 * w, c.y, c.z);
    glTexCoord2f(1, 0);
    glVertex3f(c.x + 2 * w, c.y + 2 * h, c.z);
    glTexCoord2f(0, 0);
    glVertex3f(c.x, c.y + 2 * h, c.z);
    glEnd();
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glPopMatrix();
}
