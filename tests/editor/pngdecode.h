// Decodes an image file in memory to RGBA rows; empty on failure.
#pragma once

#include <vector>

namespace Zorv {

std::vector<unsigned char> decodeRgba(const unsigned char* data, int size, int* w, int* h);

}  // namespace Zorv
