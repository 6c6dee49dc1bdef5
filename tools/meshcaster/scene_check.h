// meshcaster dump's last step: the demo's own reader runs over the scene, with
// every check it makes (parents, controller owners, face materials, and the
// texture files when a texture folder or an archive is given).
#pragma once

#include <string>

// True when the reader accepts the file; otherwise *message holds the
// reader's message (without its trailing newline). textureDirectory null:
// texture files are not looked at.
bool checkScene(const std::string& path, const char* textureDirectory, std::string* message);
