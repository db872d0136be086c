#pragma once

// Floor pictures as BMP files: 14-byte file header, 40-byte information
// header with a negative height (rows from the top), 32 bits per pixel.

#include <optional>
#include <string>
#include <string_view>

#include "model/Bitmap.h"

namespace stelmar {

// The largest width and height of a floor picture. Larger pictures are
// taken for damaged files when read, and a picture is not accepted as a
// background unless both its sides are within the limit, so that every
// background saved with a project is read back.
inline constexpr int kMaxPictureSide = 30000;

std::string EncodeBmp(const Bitmap& picture);
// Reads uncompressed 24- and 32-bit BMPs in either row order (24-bit pixels
// get alpha 0xFF, 32-bit ones keep their fourth byte). nullopt for anything
// else, for truncated data and for sides above kMaxPictureSide.
std::optional<Bitmap> DecodeBmp(std::string_view bytes);

}  // namespace stelmar
