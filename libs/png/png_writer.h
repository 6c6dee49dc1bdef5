// Writes RGBA pixels (top row first) as an 8-bit RGB PNG file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// False (with the reason in *error) when the file cannot be written.
bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba,
              std::string* error);
