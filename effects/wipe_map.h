// The wipe's transition map and the alpha mask made from it.
//
// The map holds one grey level per pixel of a 256 x 256 transition image, rows
// in image order. The mask gives every grey level an alpha for the current
// threshold: 0 below it, 255 from 30 levels above it, a linear ramp between.
#pragma once

struct kpximage;

constexpr int kWipeMapSide = 256;
constexpr int kWipeMapSize = kWipeMapSide * kWipeMapSide;
constexpr int kWipeSoftBand = 30;

// Writes the grey level of each pixel of image (the mean of its bytes; for an
// 8-bit image the index itself) into map, in storage order. At most
// kWipeMapSize pixels are taken; a smaller image fills only the values it
// covers and leaves the rest as they were. An image without pixels changes
// nothing.
void loadWipeMap(const kpximage& image, unsigned char* map);

// The alpha of every map value for threshold progress, into mask
// (kWipeMapSize values each).
void computeWipeMask(const unsigned char* map, float progress, unsigned char* mask);
