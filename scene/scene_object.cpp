#include "scene/scene_object.h"

#include "platform/gl_api.h"

#include <utility>

SceneObject::~SceneObject() { deleteList(firstChild_); }

void SceneObject::addChild(SceneObject* child) { childrenTail_.append(firstChild_, child); }

void SceneObject::prepareGeometry() {
    for (SceneObject* o = this; o; o = o->next) {
        o->prepareOwnGeometry();
        if (o->firstChild_) o->firstChild_->prepareGeometry();
    }
}

void SceneObject::bindMaterials(Scene& scene) {
    for (SceneObject* o = this; o; o = o->next) {
        o->bindOwnMaterials(scene);
        if (o->firstChild_) o->firstChild_->bindMaterials(scene);
    }
}

void SceneObject::update(float sceneTime) {
    for (SceneObject* o = this; o; o = o->next) {
        o->updateSelf(sceneTime);
        if (o->firstChild_) o->firstChild_->update(sceneTime);
    }
}

void SceneObject::draw() {
    for (SceneObject* o = this; o; o = o->next) {
        glPushMatrix();
        glTranslatef(o->position_.x, o->position_.y, o->position_.z);
        glMultMatrixf(o->rotation_.data());
        glScalef(o->scale_.x, o->scale_.y, o->scale_.z);
        if (o->visible_) o->drawGeometry();
        if (o->firstChild_) o->firstChild_->draw();
        glPopMatrix();
    }
}

void SceneObject::passParameter(int value) {
    for (SceneObject* o = this; o; o = o->next) {
        o->passOwnParameter(value);
        if (o->firstChild_) o->firstChild_->passParameter(value);
    }
}

void SceneObject::setShading(ShadingMode mode) {
    for (SceneObject* o = this; o; o = o->next) {
        if (o->firstChild_) o->firstChild_->setShading(mode);
        o->setOwnShading(mode);
    }
}

void SceneObject::updateSelf(float sceneTime) { tracks_.evaluate(sceneTime, position_, rotation_); }

void SceneObject::setEulerDegrees(float x, float y, float z) {
    rotation_.setEuler(degreesToRadians(x), degreesToRadians(y), degreesToRadians(z));
}

void SceneObject::setPositionKeys(std::uint32_t count, std::vector<PositionKey> keys) {
    tracks_.setPositionKeys(count, std::move(keys));
    tracks_.computeTangents();
}

void SceneObject::setRotationKeys(std::uint32_t count, std::vector<RotationKey> keys) {
    tracks_.setRotationKeys(count, std::move(keys));
}

void SceneObject::setSampledPositions(std::uint32_t count, std::vector<Vec3> positions) {
    tracks_.setSampledPositions(count, std::move(positions));
}

void SceneObject::setSampledRotations(std::uint32_t count, std::vector<Quaternion> rotations) {
    tracks_.setSampledRotations(count, std::move(rotations));
}

void SceneObject::setSampleInterval(std::int32_t interval) { tracks_.setSampleInterval(interval); }
