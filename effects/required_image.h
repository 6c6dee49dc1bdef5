// Images the demo cannot do without: an effect that needs a file takes it
// from the image cache through here, so a missing or unreadable file ends the
// program through fatalError with a message naming it, never a crash later.
#pragma once

class ImageLibrary;
struct kpximage;

// The cached image for name (read from directory, or the cache's base
// directory when none is given). When the cache cannot load it the program
// ends with "could not load image NAME" (NAME with the directory when one is
// given).
kpximage* requireImage(ImageLibrary& library, const char* name, const char* directory = nullptr);
