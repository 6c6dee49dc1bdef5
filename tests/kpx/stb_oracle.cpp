// The independent decoder the reader tests and benchmarks compare against.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#define STBI_ONLY_GIF
#define STBI_ONLY_JPEG
#include <stb/stb_image.h>
