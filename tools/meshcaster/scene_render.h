// meshcaster render: draws a ".ppp" scene at a scene time in an offscreen GL
// context, as the demo draws it, and writes the picture as a PNG file.
#pragma once

#include "scene/texture.h"

#include <string>
#include <vector>

struct RenderOptions {
    std::string scene;
    std::string output;
    std::string textures = kSceneTextureDirectory;  // where texture base names are looked up
    float time = 0;                                 // scene time, in the exporter's frame units
    bool selectCamera = false;
    int camera = 0;
    int width = 640;
    int height = 480;
    bool verbose = false;         // let the image cache's lines through to stdout
    std::vector<int> celObjects;  // objects drawn with cel shading, as a scene effect's signal asks
    bool noCulling = false;       // back faces drawn, as a scene effect's signal asks
    bool metaballs = false;       // the metamove effect's surface hung under object 6
};

// The exit status: 0 on success, 1 with a message on stderr otherwise.
int renderScene(const RenderOptions& options);
