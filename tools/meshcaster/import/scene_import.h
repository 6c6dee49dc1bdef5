// meshcaster import: turns a model from a modelling tool (glTF 2.0, OBJ +
// MTL, Collada, 3DS, FBX and whatever else the model reader knows) into a
// ".ppp" scene file and its textures.
//
// The scene file holds the node hierarchy (meshes, and dummies for nodes
// without triangles) under one dummy that turns the file's axes and units into
// the scene's (+y up, centimetres); materials; the file's cameras (at most
// 256) as target cameras, or two cameras framing the model; its lights (at most eight), or
// one key light; and the first animation's node tracks.
//
// A file the reader refuses, or reports broken data in, ends the import with
// its message and writes nothing: the scene file and the textures are written
// under temporary names and renamed together at the end.
//
// Bounds against hostile files: input of at most 512 MiB, nodes nested at
// most as deep as scene files allow, at most 65536 nodes, 4 million vertices
// and 4 million triangles written; texture and track bounds are in their own
// headers.
#pragma once

#include <cstdio>
#include <string>

namespace meshimport {

struct ImportOptions {
    std::string input;
    std::string output;    // the ".ppp" file
    std::string textures;  // directory for the pictures; empty: "textures/" next to the output
    float scale = 1;       // on top of the unit conversion
    int fps = 25;          // sampling rate for animation keys cannot express
};

// What was written, for the listing and the tests.
struct ImportSummary {
    int objects = 0, meshes = 0, materials = 0, textures = 0, cameras = 0, lights = 0;
    long triangles = 0;
    int keyedTracks = 0, sampledTracks = 0;
    bool framingCameras = false, keyLight = false;
};

// 0 on success; otherwise 1 after "meshcaster: IN: reason" on `messages`.
// Warnings go to `messages` too.
int importScene(const ImportOptions& options, std::FILE* messages, ImportSummary* summary = nullptr);

// importScene in a child process bounded by limitReaderResources: a model
// reader that crashes on a hostile file ends only the child, and the tool
// reports it (exit 1) and removes what the child had staged. For a tool that
// imports one file and ends.
int importSceneIsolated(const ImportOptions& options, std::FILE* messages);

// Where the textures go: options.textures, or "textures/" next to the output.
std::string textureDirectoryFor(const ImportOptions& options);

}  // namespace meshimport
