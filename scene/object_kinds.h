// The object kinds without geometry: grouping dummies, camera targets, cameras
// and lights. None of them draws anything; cameras, lights and targets are used
// as points in the scene's world frame.
#pragma once

#include "scene/scene_object.h"

#include <cstdint>

class DummyObject : public SceneObject {
public:
    void drawGeometry() override {}
    void bakeTransform() override {}
};

class TargetObject : public SceneObject {
public:
    void drawGeometry() override {}
    void bakeTransform() override {}
};

class CameraObject : public SceneObject {
public:
    CameraObject() { setPosition(Vec3(0, 0, 5)); }

    std::int32_t targetId = 0;  // the object the camera looks at; 0: first root object

    void drawGeometry() override {}
    void bakeTransform() override {}
};

class LightObject : public SceneObject {
public:
    // Colours, sent to OpenGL (with alpha 1) when the light is added to a scene.
    Vec3 ambient{0.2f, 0.2f, 0.2f};
    Vec3 diffuse{0.8f, 0.8f, 0.8f};
    Vec3 specular{1, 1, 1};
    bool enabled = false;
    int lightNumber = 0;  // GL_LIGHT0 + lightNumber

    // Stores the flag and switches the OpenGL light on or off.
    void setEnabled(bool on);
    // Sends the three colours (alpha 1) to OpenGL light GL_LIGHT0 + lightNumber.
    void sendColours() const;
    // True when lightNumber names one of the eight OpenGL lights; lights beyond
    // the eighth are kept and animated but never reach OpenGL.
    bool hasGlLight() const { return lightNumber >= 0 && lightNumber < 8; }

    void drawGeometry() override {}
    void bakeTransform() override {}
};
