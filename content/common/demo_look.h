// The demo's look in one place, shared by every content generator (pictures,
// scenes, the show): the palette, the type, and the few facts that two
// generators must agree on (texture names and sizes the scenes use).
//
// Change the look here, not in a generator.
#pragma once

#include <cstdint>

namespace vantor::look {

// An sRGB colour, 0..255 a channel.
struct Rgb {
    std::uint8_t r, g, b;
    constexpr float rf() const { return r / 255.0f; }
    constexpr float gf() const { return g / 255.0f; }
    constexpr float bf() const { return b / 255.0f; }
};

// Night flight through space machinery: dark backgrounds, chrome and glass
// catching light, thin glowing lines, a few warm accents.
inline constexpr Rgb kDeepBackground{0x05, 0x07, 0x0f};
inline constexpr Rgb kDeepBackground2{0x0b, 0x10, 0x26};
inline constexpr Rgb kNightBlue{0x1b, 0x2a, 0x5c};
inline constexpr Rgb kIndigo{0x2a, 0x1b, 0x5c};
inline constexpr Rgb kCoolLight{0x3e, 0xe0, 0xff};   // the main accent
inline constexpr Rgb kHotAccent{0xff, 0x3e, 0xa5};   // drops and hits
inline constexpr Rgb kWarmAccent{0xff, 0xb3, 0x47};  // sparingly
inline constexpr Rgb kChrome{0xe8, 0xf0, 0xff};
inline constexpr Rgb kWhite{0xff, 0xff, 0xff};

// One family for all lettering: titles, cards, credits and the 3D logo.
inline constexpr const char* kFontBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
inline constexpr const char* kFontCondensedBold = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
inline constexpr const char* kFontFamily = "DejaVu Sans";

// The glow scene cuts its hole map into the base texture of object 2 of
// "data/steiner.ppp": the two must have exactly this size.
inline constexpr int kHoleMapWidth = 256;
inline constexpr int kHoleMapHeight = 256;

// Textures the scenes name, drawn by the picture generator into
// "data/textures/" (scenes store the base name; the demo looks it up there).
struct SceneTexture {
    const char* name;
    int width, height;
    const char* shows;
};
inline constexpr SceneTexture kSceneTextures[] = {
    {"galakse.jpg", 512, 512, "a spiral galaxy, drawn flat across the metaball surface"},
    {"blank metall.jpg", 256, 256, "a bright chrome sphere map: horizon, sky gradient, highlights"},
    {"panel.jpg", 512, 512, "hull plates: blue-grey panels, seams, rivets, small lit markings"},
    {"planet.jpg", 1024, 512, "a night-side planet, equirectangular: oceans, cloud bands, city lights"},
    {"solar.jpg", 256, 256, "solar-cell grid: dark blue cells with thin bright lines"},
    {"stone.jpg", kHoleMapWidth, kHoleMapHeight, "dark rock with cool veins (the glow scene's stones)"},
    {"grid.jpg", 512, 512, "a glowing floor grid fading into the dark"},
    {"flare.jpg", 128, 128, "a soft exhaust flare, black where it adds nothing (additive billboards)"},
    {"dimstone.tga", kHoleMapWidth, kHoleMapHeight,
     "the glow scene's stone at alpha kUnglowingAlpha: its other stones and rings, left out of the glows"},
};

// The glow scene captures its glowing objects with an alpha test that passes
// only alpha above 0.9 (229 of 255); everything else in that scene has
// textures of this alpha, so the captures see only the glowing objects.
inline constexpr int kUnglowingAlpha = 200;

// Pictures of the show, drawn by the picture generator into "data/images/"
// (640 x 480 cards are light on pure black: a picture sequence takes each
// pixel's brightness as its alpha, so black is see-through when blended).
// "rotule.pcx" is the first picture of both picture sequences; the others are
// appended to a sequence (code 31) or swapped in (code 110) by the show. The
// frame is the picture-in-picture inset's frame image (code 110 of the inset),
// black inside so that it adds only its border.
struct ShowPicture {
    const char* name;
    int width, height;
    const char* shows;
};
inline constexpr const char* kPictureFrame = "pipframe.jpg";
inline constexpr ShowPicture kShowPictures[] = {
    {"rotule.pcx", 640, 480, "opening card: \"VANTOR\" small and wide, \"presents\" below"},
    {"title.pcx", 640, 480, "title card: \"NIGHT FLIGHT\" large, a one-line subtitle"},
    {"credits1.pcx", 640, 480, "credit: code by RAZORBYTE"},
    {"credits2.pcx", 640, 480, "credit: music by MOONSHIFT"},
    {"credits3.pcx", 640, 480, "credit: graphics by PALEHAWK"},
    {"greets1.pcx", 640, 480, "greetings to Polarfront, Hexadrome, Glasswork Union, Tidal Cortex"},
    {"greets2.pcx", 640, 480, "greetings to Nullpunkt, Cobalt Orchard, Velvet Ion, Signal Atelier"},
    {"theend.pcx", 640, 480, "closing card: \"VANTOR\" large, \"thanks for watching\""},
    {kPictureFrame, 512, 512, "inset frame: glowing cool border, corner brackets, ticks, REC mark; black inside"},
};

}  // namespace vantor::look
