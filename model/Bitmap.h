#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace stelmar {

// A picture held by the scheme: 32-bit pixels, rows from the top, each pixel
// stored as 0xAARRGGBB (bytes B, G, R, A in memory on little-endian machines).
// Pictures never change once made, so the live scheme and the edit history
// share them through BitmapRef.
struct Bitmap {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;  // Width * Height entries
};

using BitmapRef = std::shared_ptr<const Bitmap>;

}  // namespace stelmar
