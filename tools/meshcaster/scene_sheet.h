// meshcaster sheet: previews of several scenes on one picture, a row for each
// scene and camera, a column for each moment of music, each cell labelled.
#pragma once

#include "scene/texture.h"

#include <map>
#include <string>
#include <vector>

struct SheetOptions {
    std::string output;
    std::vector<std::string> scenes;
    std::string textures = kSceneTextureDirectory;
    std::vector<float> seconds{0, 4, 20, 90};  // music seconds after the scene's start
    std::map<std::string, float> speed;        // base name -> music ms per scene frame (default 10)
    std::vector<std::string> noCulling;        // base names drawn with back faces, as the scene effects' CULLING 0
    int cellWidth = 256;
    int cellHeight = 192;
};

// The exit status: 0 on success, 1 with a message on stderr otherwise.
int renderSheet(const SheetOptions& options);
