#include "scene/metaball/metaball_object.h"

#include "platform/gl_api.h"
#include "scene/format/matrix.h"
#include "scene/scene_error.h"

#include <cmath>
#include <string>

namespace {

std::unique_ptr<Texture> requireTexture(ImageLibrary& images, const char* name, const char* directory) {
    std::unique_ptr<Texture> texture(loadTexture(&images, name, directory));
    if (!texture) SceneError(std::string("could not load image ") + directory + name);
    return texture;
}

}  // namespace

MetaballObject::MetaballObject(ImageLibrary& images, const char* textureDirectory)
    : vertices_(kVertexCapacity), normals_(kVertexCapacity) {
    metal_ = requireTexture(images, kMetalTexture, textureDirectory);
    galaxy_ = requireTexture(images, kGalaxyTexture, textureDirectory);
}

void MetaballObject::updateSelf(float sceneTime) {
    SceneObject::updateSelf(sceneTime);
    paths_.advance(sceneTime);
}

void MetaballObject::computeField() {
    placeBalls();
    field_.compute(balls_);
}

int MetaballObject::polygonise() {
    vertexCount_ =
        polygoniser_.run(field_.values(), field_.gradients(), vertices_.data(), normals_.data(), kVertexCapacity);
    return vertexCount_;
}

void MetaballObject::drawGeometry() {
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);

    computeField();
    polygonise();
    drawSurface();
}

void MetaballObject::drawSurface() const {
    // The first two rows of the model-view rotation turn a normal into the
    // view-space x and y that pick the sphere-map texel.
    Matrix4 modelView;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.data());
    const Vec3 row0(modelView.m[0], modelView.m[4], modelView.m[8]);
    const Vec3 row1(modelView.m[1], modelView.m[5], modelView.m[9]);

    glActiveTextureARB(GL_TEXTURE0_ARB);
    galaxy_->bind();
    glEnable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
    metal_->bind();
    glEnable(GL_TEXTURE_2D);

    for (int t = 0; t + 2 < vertexCount_; t += 3) {
        glBegin(GL_TRIANGLES);
        for (int v = t; v < t + 3; ++v) {
            Vec3 n = normals_[v];
            const float length = std::sqrt(Vec3::dot(n, n));
            if (length > 0) n = Vec3(n.x / length, n.y / length, n.z / length);
            const GLfloat env[2] = {Vec3::dot(row0, n) * 0.5f + 0.5f, Vec3::dot(row1, n) * 0.5f + 0.5f};
            const Vec3& p = vertices_[v];
            glNormal3f(n.x, n.y, n.z);
            glMultiTexCoord2fvARB(GL_TEXTURE1_ARB, env);
            glTexCoord2f(p.x / 10, p.y / 10);
            glMultiTexCoord2fARB(GL_TEXTURE0_ARB, p.x / 10, p.y / 10);
            glVertex3fv(p.data());
        }
        glEnd();
    }

    glEnable(GL_CULL_FACE);
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
}
