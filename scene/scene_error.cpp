#include "scene/scene_error.h"

void SceneError(const std::string& message) { endWithError(message); }
