// Reads the chunks of a ".ppp" file one by one into records, through the
// ppd_ file layer. Every length and count from the file is checked against the
// data that is really there before it is used, so no byte sequence makes the
// decoder read outside the file or allocate more than the file could fill.
//
// Beyond what the format itself rules out, the decoder refuses (with a text
// for the caller to report): chunk fields that run past the end of the data,
// names and texture names without their terminating NUL inside their fields,
// and face indices outside their mesh's vertices or coordinates (a mesh
// without coordinates may give any coordinate index).
#pragma once

#include "scene/format/scene_file_format.h"

#include <cstdint>
#include <string>

struct ppd_file;

namespace ppp {

struct Chunk {
    std::uint32_t type = 0;
    std::uint32_t size = 0;    // the header's payload size
    std::uint32_t offset = 0;  // file position of the payload
    // The record of the chunk's type; the others stay empty.
    MeshRecord mesh;
    DummyRecord dummy;
    MaterialRecord material;
    CameraRecord camera;
    TargetRecord target;
    LightRecord light;
    ControllerRecord controller;
};

// The name of a chunk type for messages and listings ("mesh", "unknown" ...).
const char* chunkTypeName(std::uint32_t type);

class ChunkDecoder {
public:
    // The file stays open and owned by the caller.
    explicit ChunkDecoder(ppd_file* file) : file_(file) {}

    // Reads the lead word; false when it is missing or not 0.
    bool readLeadWord();

    enum class Result {
        Chunk,      // chunk filled; an end chunk (type 1) is the last one
        EndOfData,  // the data ended exactly where a chunk header would start
        Error,      // error() says why
    };
    Result next(Chunk& chunk);
    const std::string& error() const { return error_; }

private:
    Result fail(std::string text);
    Result truncated(std::uint32_t type);
    std::uint32_t remaining() const;

    Result readMesh(Chunk& chunk);
    Result readDummy(Chunk& chunk);
    Result readMaterial(Chunk& chunk);
    Result readCamera(Chunk& chunk);
    Result readTarget(Chunk& chunk);
    Result readLight(Chunk& chunk);
    Result readController(Chunk& chunk);

    ppd_file* file_;
    std::string error_;
};

}  // namespace ppp
