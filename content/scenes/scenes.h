// The demo's scenes: one function each describes a scene with the modelling
// kit. kDemoScenes lists the files the build writes into demo/data.
#pragma once

#include "content/scenes/kit/scene_builder.h"

namespace demoscenes {

void buildTitleChrome(scenekit::SceneBuilder& b);  // "vantor2.ppp"
void buildTitleLit(scenekit::SceneBuilder& b);     // "vantor.ppp"
void buildArm(scenekit::SceneBuilder& b);
void buildModule(scenekit::SceneBuilder& b);
void buildBooster(scenekit::SceneBuilder& b);
void buildSputnik(scenekit::SceneBuilder& b);
void buildMetamove(scenekit::SceneBuilder& b);
void buildSphere(scenekit::SceneBuilder& b);
void buildSteiner(scenekit::SceneBuilder& b);

struct DemoScene {
    const char* file;  // under data/
    void (*build)(scenekit::SceneBuilder&);
    int speed;     // music ms per scene frame in the effect that plays it
    bool culling;  // false: the start-up switches back-face culling off
};

inline constexpr DemoScene kDemoScenes[] = {
    {"vantor2.ppp", buildTitleChrome, 10, false},
    {"vantor.ppp", buildTitleLit, 10, false},
    {"arm.ppp", buildArm, 10, true},
    {"modul2.ppp", buildModule, 10, true},
    {"boost.ppp", buildBooster, 10, true},
    {"sputnik.ppp", buildSputnik, 10, true},
    {"metamove.ppp", buildMetamove, 10, true},
    {"sphere.ppp", buildSphere, 1, true},
    {"steiner.ppp", buildSteiner, 50, true},
};

}  // namespace demoscenes
