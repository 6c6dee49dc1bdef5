// Writes ".ppp" scene files: exactly what SceneFileReader reads. Chunks are
// written in the order they are added, behind the lead word 0; sizes of the
// typed chunks equal the fields they hold. The reader links parents and
// controller owners while it reads, so add a parent before its children and an
// object before its controllers; materials may come anywhere.
//
// Invalid input (a name of 52 characters or more, a texture name of 100 or
// more, a face index outside its mesh, a known type given as unknown) throws
// std::invalid_argument.
#pragma once

#include "scene/format/scene_file_format.h"

#include <cstdint>
#include <string>
#include <vector>

class SceneFileWriter {
public:
    SceneFileWriter();

    void mesh(const ppp::MeshRecord& record);
    void dummy(const ppp::DummyRecord& record);
    void material(const ppp::MaterialRecord& record);
    void camera(const ppp::CameraRecord& record);
    void target(const ppp::TargetRecord& record);
    void light(const ppp::LightRecord& record);
    // Key-framed position track (class 2, kind 2).
    void positionKeys(std::int32_t ownerId, const std::vector<ppp::PositionKeyRecord>& keys);
    // Key-framed rotation track (class 2, kind 3).
    void rotationKeys(std::int32_t ownerId, const std::vector<ppp::RotationKeyRecord>& keys);
    // Sampled position + rotation track (class 1, kind 5).
    void samples(std::int32_t ownerId, std::int32_t interval, const std::vector<ppp::SampleRecord>& samples);
    // The end chunk, with `size` payload bytes of zeros (the reader skips them).
    void end(std::uint32_t size = 0);
    // A chunk of a type the reader does not know (not 1 to 8); it skips the payload.
    void unknown(std::uint32_t type, const std::vector<unsigned char>& payload);

    const std::vector<unsigned char>& bytes() const { return bytes_; }
    // Writes the bytes to a file; false when that fails.
    bool save(const std::string& path) const;

private:
    // Appends a chunk header and returns the position of its size field.
    std::size_t beginChunk(std::uint32_t type);
    void finishChunk(std::size_t sizeField);

    std::vector<unsigned char> bytes_;
};
