// Writers for the Windows picture formats the resources need: an uncompressed
// 24-bit BMP file and an ICO file holding several sizes at 4, 8 and 32 bits.
#pragma once

#include <string>
#include <vector>

#include "Raster.h"

namespace artwork {

// A bottom-up 24-bit BMP of the raster (alpha composited over white).
bool WriteBmp24(const std::string& path, const Raster& image);

// One ICO entry per (raster, depth) pair; depth 4 uses the 16 standard
// colours, 8 a 256-colour palette, 32 keeps the alpha channel.
struct IconImage {
    const Raster* image;
    int bitsPerPixel;
};
bool WriteIcon(const std::string& path, const std::vector<IconImage>& images);

}  // namespace artwork
