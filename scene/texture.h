// OpenGL textures made from kpximage records of the image cache, or created
// empty as targets for frame-buffer copies. The scene files and several effects
// share this class.
//
// A 2D texture from an image is brought to 32 bits and to power-of-two sides of
// at least 64 (in place, in the cached record, so every later user of that
// cache entry sees the change) and uploaded with mipmaps; each upload makes a
// new GL texture in place of the one before. A 1D texture is the 256-texel shade ramp of the cel modes.
#pragma once

#include "platform/gl_api.h"
#include "scene/gl_texture.h"

class ImageLibrary;
struct kpximage;

// Where the demo keeps the textures its scenes and effects name: scene files
// store a texture's base name, and it is looked up in this directory.
constexpr const char* kSceneTextureDirectory = "data/textures/";

class Texture {
public:
    explicit Texture(GLenum target = GL_TEXTURE_2D) : target_(target) {}
    // A texture of an image already in hand; call uploadTexture to create it in GL.
    Texture(kpximage* image, GLenum target) : image_(image), target_(target) {}
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Takes the image from the texture library, the image cache it is given
    // (the directory prefixes the name when given; the name is the cache key),
    // and uploads it. False when the image cannot be loaded: the texture then
    // has no GL object. Without a texture library the program ends through
    // SceneError with "no imglib for texture".
    bool load(ImageLibrary* textureLibrary, const char* name, const char* directory);

    // Creates the GL texture from the image (2D or 1D by target). Nothing
    // happens without an image, or with an image that has no pixels or a depth
    // that cannot be brought to 32 bits.
    void uploadTexture();

    void bind() const { glBindTexture(target_, glTexture_.name()); }

    kpximage* image() const { return image_; }
    GLuint glName() const { return glTexture_.name(); }
    GLenum target() const { return target_; }

    // An empty 2D texture for frame-buffer copies (makeRenderTexture, the
    // layers' texture maker): sides rounded up to powers of two from 8; a
    // w x h block of 127 bytes, zeros elsewhere. Sides beyond 1024 end the
    // program with "effect too large".
    static Texture* createRenderTexture(int width, int height);

private:
    void upload2D();
    void upload1D();

    kpximage* image_ = nullptr;  // owned by the image cache; none for render textures
    GlTexture glTexture_;
    GLenum target_;
};

// A new 2D texture loaded with Texture::load; none (and nothing kept) on failure.
Texture* loadTexture(ImageLibrary* textureLibrary, const char* name, const char* directory);

// Brings a picture to 32 bits in the byte order OpenGL reads (red, green,
// blue, alpha), in place, as every texture made from a picture needs it.
// Palette and 5-6-5 pictures come out of kpx_convert_32 as (0, red, green,
// blue) and are turned round and made opaque, like a converted 24-bit picture;
// 32-bit pictures stay as they are. False (the picture left as it was) when
// its depth cannot be converted.
bool convertToGlRgba(kpximage& image);

// Smallest power of two >= size, starting from `minimum`.
int roundUpPowerOfTwo(int size, int minimum);
