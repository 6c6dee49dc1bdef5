// Writing a finished canvas as one of the demo's files, through the KPX
// writers so the bytes are exactly what the demo's readers take.
#pragma once

#include <string>

namespace vantor::pictures {

class Canvas;

// JPEG quality for every colour picture: high enough that no 8 x 8 blocking
// shows when a picture fills the screen.
inline constexpr int kJpegQuality = 94;

enum class FileKind {
    Jpeg,      // 24-bit colour JPEG
    GreyJpeg,  // 8-bit greyscale JPEG (read back as an 8-bit record with a grey ramp)
    Pcx24,     // 24-bit PCX, three planes
    GreyPcx,   // 8-bit PCX whose pixel values are grey levels (grey ramp palette)
    Tga32,     // 32-bit TGA with alpha
};

// Writes `canvas` to `path`; throws std::runtime_error with the writer's
// reason on failure.
void writePicture(Canvas& canvas, FileKind kind, const std::string& path);

}  // namespace vantor::pictures
