// SceneObject: the base of everything placed in a scene (meshes, billboards,
// grouping dummies, camera targets, cameras, lights, and objects that effects
// attach). It carries a local transform (translate . rotate . scale relative to
// its parent), a visible flag, a list of children and its animation tracks.
//
// Traversals. prepareGeometry, bindMaterials, update, draw, passParameter and
// setShading act on this object, then on its children's list, then on every
// later sibling with their children — so calling one on the first node of a
// list covers the whole list. The per-object part of each is a protected hook
// that kinds override; the traversal itself walks siblings in a loop, so a long
// list never deepens the call stack.
//
// A kind defined outside the library derives from SceneObject, overrides
// drawGeometry and bakeTransform and, when it animates itself, updateSelf
// (calling SceneObject::updateSelf first, which evaluates the tracks).
#pragma once

#include "scene/format/matrix.h"
#include "scene/scene_node.h"
#include "scene/format/shading_mode.h"
#include "scene/tracks.h"
#include "scene/format/vector.h"

#include <cstdint>
#include <vector>

class Scene;

class SceneObject : public SceneNode<SceneObject> {
public:
    SceneObject() = default;
    virtual ~SceneObject();
    SceneObject(const SceneObject&) = delete;
    SceneObject& operator=(const SceneObject&) = delete;

    // Draws the object's own geometry in its local frame.
    virtual void drawGeometry() = 0;
    // Meshes move their vertices into the parent's frame; other kinds do nothing.
    virtual void bakeTransform() = 0;

    // ---- traversals (this object, its subtree, later siblings) -----------
    void prepareGeometry();
    void bindMaterials(Scene& scene);
    void update(float sceneTime);
    // glPushMatrix; translate, rotate, scale; own geometry when visible; the
    // children; glPopMatrix — for this object and every later sibling.
    void draw();
    void passParameter(int value);
    void setShading(ShadingMode mode);

    // Appends to the children list; the object must not be in a list yet.
    void addChild(SceneObject* child);
    SceneObject* firstChild() const { return firstChild_; }

    // ---- transform ---------------------------------------------------------
    void setPosition(const Vec3& p) { position_ = p; }
    const Vec3& position() const { return position_; }
    void setRotation(const Matrix4& r) { rotation_ = r; }
    const Matrix4& rotation() const { return rotation_; }
    void setScale(const Vec3& s) { scale_ = s; }
    const Vec3& scale() const { return scale_; }
    // rotation = Euler matrix of the angles, given in degrees.
    void setEulerDegrees(float x, float y, float z);
    void setVisible(bool visible) { visible_ = visible; }
    bool visible() const { return visible_; }

    // ---- animation tracks ----------------------------------------------------
    // Key-framed position keys; the tangents are computed right away.
    void setPositionKeys(std::uint32_t count, std::vector<PositionKey> keys);
    void setRotationKeys(std::uint32_t count, std::vector<RotationKey> keys);
    void setSampledPositions(std::uint32_t count, std::vector<Vec3> positions);
    void setSampledRotations(std::uint32_t count, std::vector<Quaternion> rotations);
    void setSampleInterval(std::int32_t interval);
    const AnimationTracks& tracks() const { return tracks_; }

protected:
    // Per-object parts of the traversals; the base versions do nothing except
    // updateSelf, which evaluates the tracks at the scene time.
    virtual void prepareOwnGeometry() {}
    virtual void bindOwnMaterials(Scene& scene) { (void)scene; }
    virtual void updateSelf(float sceneTime);
    virtual void passOwnParameter(int value) { (void)value; }
    virtual void setOwnShading(ShadingMode mode) { (void)mode; }

private:
    Matrix4 rotation_;
    Vec3 position_;
    Vec3 scale_{1, 1, 1};
    SceneObject* firstChild_ = nullptr;
    ListTail<SceneObject> childrenTail_;
    AnimationTracks tracks_;
    bool visible_ = true;
};
