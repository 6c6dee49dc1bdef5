// Reads a model file with the model reader and takes what it reports: a file
// it refuses, or one where it had to drop or invent data (faces with indices
// out of range, a material that is not there), is refused with the reader's
// own message. Meshes come triangulated, with normals (made where the file
// has none: creases above 80 degrees stay sharp), points and lines removed
// and triangles without area dropped.
#pragma once

#include <assimp/Importer.hpp>

#include <string>

struct aiScene;

namespace meshimport {

class ImportReport;

// The scene, owned by `importer`; throws ImportRefused.
const aiScene& readModel(Assimp::Importer& importer, const std::string& path, ImportReport& report);

// Bounds the whole process, for a tool that imports one file and ends: 4 GiB
// of address space (an allocation beyond it fails, and the reader reports
// that, where a file that claims billions of faces would otherwise have the
// machine swap) and 120 s of processor time (then the tool ends with a
// message, before anything is written under its real name).
void limitReaderResources();

}  // namespace meshimport
