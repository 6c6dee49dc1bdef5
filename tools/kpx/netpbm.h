// Inspection output for kpx records: binary PPM (P6) and PAM (P7, RGB_ALPHA).
#pragma once

#include <string>

struct kpximage;

// 8-bit pixels through the palette (grey without one), 16-bit expanded to
// 8 bits a channel, 24-bit with alpha 255, 32-bit bytes in the order the
// record holds them. Returns an empty string on success, else the reason.
std::string writePpm(const std::string& path, const kpximage* img);
std::string writePam(const std::string& path, const kpximage* img);
