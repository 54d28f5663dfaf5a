// What an editor at a scale shows of an embedded image: the image decoded
// whole, and one frame of it resampled the way the GPU draws a smoothly
// scaled image (bilinear samples at device pixel centres, edges clamped).
#pragma once

#include "tests/window/pixels.h"

namespace windowtest {

Pixels embeddedImage(const char* name);  // empty when not embedded or not decodable
// Frame (a kW x kH skin cell of one row) of image, which holds imageScale
// image pixels per skin pixel, as the device pixels of an editor at scale.
Pixels smoothFrame(const Pixels& image, int frame, double imageScale, double scale);
// Frame 0 of the background as the editor shows it at scale: above 1 from
// "Quelt@2x.png" when that is embedded, else from "Quelt.png".
Pixels backgroundAt(double scale);
bool hasArt2x();  // "Quelt@2x.png" is embedded

}  // namespace windowtest
