#include "effects/required_image.h"

#include "runtime/fatal_error.h"
#include "imglib/image_library.h"

#include <string>

kpximage* requireImage(ImageLibrary& library, const char* name, const char* directory) {
    if (kpximage* image = library.getImage(name, directory)) return image;
    const std::string shown = std::string(directory ? directory : "") + name;
    fatalError("could not load image " + shown);
}
