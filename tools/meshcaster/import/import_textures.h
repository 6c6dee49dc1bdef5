// Textures of imported materials, saved as JPEG pictures (a format the demo's
// image cache reads) into the texture directory and named by base name, as
// the scene reader looks them up. A texture may be a file next to the model
// (paths relative to the model or to its material library, with forward or
// back slashes) or embedded in it (glTF buffers, .glb, FBX, .zae).
//
// Bounds: a source file or embedded picture of at most 64 MiB and
// 8192 x 8192 pixels is decoded; the saved picture is scaled down to at most
// 1024 pixels on its longer side (the demo rounds sides up to powers of two
// when it uploads them).
#pragma once

#include "tools/meshcaster/import/output_files.h"

#include <map>
#include <set>
#include <string>
#include <vector>

struct aiScene;

namespace meshimport {

class ImportReport;

class TextureExport {
public:
    // `directory` ends with '/'; `modelDirectory` is where relative paths start.
    TextureExport(const aiScene& scene, std::string directory, std::string modelDirectory, OutputFiles& files,
                  ImportReport& report);

    // Embedded pictures without a name of their own are named after the model.
    void setModelName(const std::string& modelPath);

    // The name to put in a material for the texture reference `reference`
    // (a path or "*N" for embedded picture N), or "" with a warning when it
    // cannot be found or decoded. The same reference gives the same name.
    std::string save(const std::string& reference);

    int saved() const { return int(used_.size()); }

private:
    // A name not yet given in this import and not that of `sourceFile`.
    std::string uniqueName(const std::string& source, const std::string& sourceFile);
    std::string findFile(const std::string& path);
    void scanModelDirectory();

    const aiScene& scene_;
    std::string directory_, modelDirectory_, modelStem_ = "model";
    OutputFiles& files_;
    ImportReport& report_;
    std::map<std::string, std::string> byReference_;
    std::set<std::string> used_;
    bool directoryMade_ = false;
    bool scanned_ = false;
    std::vector<std::string> folders_;                     // below the model's, in walking order
    std::multimap<std::string, std::string> byLowerName_;  // file name in lower case -> paths
};

}  // namespace meshimport
