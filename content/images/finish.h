// Pixel work Cairo does not do: soft glows (a blur that approximates a
// Gaussian) and fine grain that hides 8-bit banding in dark gradients.
#pragma once

#include <cstdint>

namespace vantor::pictures {

class Canvas;

// Blurs every channel (premultiplied, so edges fade to transparent) with three
// box passes of the given radius in pixels. wrapX makes the blur wrap around
// left to right, for pictures that tile sideways.
void blur(Canvas& canvas, int radius, bool wrapX = false);

// Adds a blurred copy of `glow` onto `target` (CAIRO_OPERATOR_ADD), `strength`
// times; `glow` is blurred in place first.
void addGlow(Canvas& target, Canvas& glow, int radius, double strength, bool wrapX = false);

// Adds triangular noise of about `amount` levels to the colour channels of
// every pixel whose brightest channel is at least `threshold` (so black stays
// black in pictures that are drawn additively). The grain fades in over the
// first few levels above the threshold.
void addGrain(Canvas& canvas, double amount, std::uint64_t seed, int threshold = 0);

}  // namespace vantor::pictures
