#include "effects/rgb_upload.h"

#include "kpx/kpx.h"
#include "platform/gl_api.h"

bool uploadRgbImage(kpximage& image) {
    if (!image.image) return false;
    if (image.bpp != 24 && !kpx_convert_24(&image)) return false;
    GLint saved = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &saved);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE, image.image);
    glPixelStorei(GL_UNPACK_ALIGNMENT, saved);
    return true;
}
