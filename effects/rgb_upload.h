// Uploads a kpximage as 24-bit RGB into the bound 2D texture.
//
// Rows of an RGB image are width x 3 bytes with no padding; GL's default
// unpack alignment of 4 would read every row of an image whose width is not a
// multiple of 4 skewed and run past the end of the pixels. The upload uses an
// alignment of 1 and restores the previous one. An image of another depth is
// converted to 24 bits in place first (it is the cache's shared record, so
// later users see 24 bits too).
#pragma once

struct kpximage;

// glTexSubImage2D at (0, 0), width x height, GL_RGB. False (and nothing
// uploaded) when the image has no pixels or cannot be brought to 24 bits.
bool uploadRgbImage(kpximage& image);
