// Every picture the demo loads, with the path it is written to (relative to
// the folder that becomes the archive's root) and the function that makes it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vantor::pictures {

struct PictureFile {
    std::string path;  // e.g. "data/images/kake1.jpg"; "celpalette.pcx" lies at the root
    std::function<void(const std::string& outPath)> make;
};

// In the order they are written.
std::vector<PictureFile> pictureFiles();

// The makers, one per picture (or per family sharing one drawing).
void makeStarField(const std::string& out);
void makeGalaxy(const std::string& out);
void makePlanet(const std::string& out);
void makeHorizonLeft(const std::string& out);
void makeHorizonRight(const std::string& out);
void makeHorizonOverlay(const std::string& out);
void makeZoom(int level, const std::string& out);
void makeWipeMap(const std::string& out);
void makeHoleMap(const std::string& out);
void makeCelPalette(const std::string& out);
void makeParticle(const std::string& out);
void makeFlare(const std::string& out);
void makeLoadingStage(int stage, const std::string& out);
void makeLogo(const std::string& out);
void makeCard(const std::string& name, const std::string& out);
void makeFrame(const std::string& out);
void makeVisorInside(const std::string& out);
void makeVisorFront(const std::string& out);
void makeChrome(const std::string& out);
void makePanel(const std::string& out);
void makeSolar(const std::string& out);
void makeStone(const std::string& out);
void makeDimStone(const std::string& out);
void makeGrid(const std::string& out);

}  // namespace vantor::pictures
