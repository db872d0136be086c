#pragma once

// Floor pictures as BMP files: 14-byte file header, 40-byte information
// header with a negative height (rows from the top), 32 bits per pixel.

#include <optional>
#include <string>
#include <string_view>

#include "model/Bitmap.h"

namespace stelmar {

std::string EncodeBmp(const Bitmap& picture);
// Reads uncompressed 24- and 32-bit BMPs in either row order (24-bit pixels
// get alpha 0xFF, 32-bit ones keep their fourth byte). nullopt for anything
// else, for truncated data and for sides above 30000 pixels.
std::optional<Bitmap> DecodeBmp(std::string_view bytes);

}  // namespace stelmar
