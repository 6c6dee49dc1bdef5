#include "app/demo_effects.h"

#include "effects/required_image.h"

DemoEffects::DemoEffects(EffectTable& table, ImageLibrary& images, FrameTarget& target)
    : table_(table), images_(images), target_(target) {}

kpximage* DemoEffects::image(const char* name) { return requireImage(images_, name); }
