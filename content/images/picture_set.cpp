#include "content/images/picture_set.h"

#include "content/common/demo_look.h"

#include <stdexcept>

namespace vantor::pictures {

namespace {

template <int N>
void zoom(const std::string& out) {
    makeZoom(N, out);
}

template <int N>
void loading(const std::string& out) {
    makeLoadingStage(N, out);
}

}  // namespace

std::vector<PictureFile> pictureFiles() {
    std::vector<PictureFile> files = {
        {"data/images/kake1.jpg", loading<1>},
        {"data/images/kake2.jpg", loading<2>},
        {"data/images/kake3.jpg", loading<3>},
        {"data/images/kake4.jpg", loading<4>},
        {"data/images/kake5.jpg", loading<5>},
        {"data/images/kake6.jpg", loading<6>},
        {"data/images/stjernebk - morkere.jpg", makeStarField},
        {"data/images/vantor.pcx", makeLogo},
        {"data/images/particle.pcx", makeParticle},
        {"data/images/wipe1.pcx", makeWipeMap},
        {"data/images/horisbig1.jpg", makeHorizonLeft},
        {"data/images/horisbig2.jpg", makeHorizonRight},
        {"data/images/bakgrscroll3.jpg", makeHorizonOverlay},
        {"data/images/zoom0.jpg", zoom<0>},
        {"data/images/zoom1.jpg", zoom<1>},
        {"data/images/zoom2.jpg", zoom<2>},
        {"data/images/zoom3.jpg", zoom<3>},
        {"data/images/holemap.jpg", makeHoleMap},
        {"data/images/visir_full2.tga", makeVisorInside},
        {"data/images/visir_front3.tga", makeVisorFront},
        {"celpalette.pcx", makeCelPalette},
    };
    for (const look::ShowPicture& p : look::kShowPictures) {
        const std::string name = p.name;
        if (name == look::kPictureFrame) {
            files.push_back({"data/images/" + name, makeFrame});
        } else {
            files.push_back({"data/images/" + name, [name](const std::string& out) { makeCard(name, out); }});
        }
    }
    const struct {
        const char* name;
        void (*make)(const std::string&);
    } textures[] = {{"galakse.jpg", makeGalaxy}, {"blank metall.jpg", makeChrome}, {"panel.jpg", makePanel},
                    {"planet.jpg", makePlanet},  {"solar.jpg", makeSolar},         {"stone.jpg", makeStone},
                    {"grid.jpg", makeGrid},      {"flare.jpg", makeFlare},         {"dimstone.tga", makeDimStone}};
    // Every texture the scenes name must have its maker here.
    for (const look::SceneTexture& scene : look::kSceneTextures) {
        bool found = false;
        for (const auto& t : textures) {
            if (std::string(t.name) != scene.name) continue;
            files.push_back({std::string("data/textures/") + t.name, t.make});
            found = true;
        }
        if (!found) throw std::logic_error(std::string("no picture is drawn for the texture ") + scene.name);
    }
    return files;
}

}  // namespace vantor::pictures
