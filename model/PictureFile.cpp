#include "model/PictureFile.h"

#include <cstdint>

namespace stelmar {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kPixelOffset = kFileHeaderSize + kInfoHeaderSize;
constexpr std::uint32_t kUncompressed = 0;

void Put16(std::string& out, std::uint16_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, std::uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((v >> shift) & 0xFF);
}

std::uint16_t Get16(std::string_view bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

std::uint32_t Get32(std::string_view bytes, std::size_t at)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v |= std::uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
    return v;
}

}  // namespace

std::string EncodeBmp(const Bitmap& picture)
{
    const std::size_t count = static_cast<std::size_t>(picture.Width) * static_cast<std::size_t>(picture.Height);
    const auto imageSize = static_cast<std::uint32_t>(4 * count);
    std::string out;
    out.reserve(kPixelOffset + 4 * count);
    out += "BM";
    Put32(out, static_cast<std::uint32_t>(kPixelOffset) + imageSize);
    Put32(out, 0);  // two reserved words
    Put32(out, kPixelOffset);
    Put32(out, kInfoHeaderSize);
    Put32(out, static_cast<std::uint32_t>(picture.Width));
    Put32(out, static_cast<std::uint32_t>(-picture.Height));  // negative: rows from the top
    Put16(out, 1);                                            // planes
    Put16(out, 32);                                           // bits per pixel
    Put32(out, kUncompressed);
    Put32(out, imageSize);
    for (int i = 0; i < 4; ++i) Put32(out, 0);  // resolution and palette fields

    out.resize(kPixelOffset + 4 * count);
    char* p = out.data() + kPixelOffset;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t px = i < picture.Pixels.size() ? picture.Pixels[i] : 0;
        for (int shift = 0; shift < 32; shift += 8) *p++ = static_cast<char>((px >> shift) & 0xFF);
    }
    return out;
}

std::optional<Bitmap> DecodeBmp(std::string_view bytes)
{
    if (bytes.size() < kPixelOffset || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
    const std::uint64_t offset = Get32(bytes, 10);
    const std::uint64_t headerSize = Get32(bytes, 14);
    const std::int64_t width = static_cast<std::int32_t>(Get32(bytes, 18));
    const std::int64_t signedHeight = static_cast<std::int32_t>(Get32(bytes, 22));
    const std::uint16_t planes = Get16(bytes, 26);
    const std::uint16_t bits = Get16(bytes, 28);
    const std::uint32_t compression = Get32(bytes, 30);

    const std::int64_t height = signedHeight < 0 ? -signedHeight : signedHeight;
    if (headerSize < kInfoHeaderSize || planes != 1 || (bits != 24 && bits != 32) ||
        compression != kUncompressed)
        return std::nullopt;
    if (width <= 0 || height == 0 || width > kMaxPictureSide || height > kMaxPictureSide) return std::nullopt;

    // Rows of 24-bit pictures are padded to 4 bytes; the last row may lack
    // its padding.
    const std::uint64_t pixelBytes = bits / 8;
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(width) * pixelBytes;
    const std::uint64_t stride = (rowBytes + 3) / 4 * 4;
    const std::uint64_t needed = stride * static_cast<std::uint64_t>(height - 1) + rowBytes;
    if (offset < kFileHeaderSize + headerSize || offset > bytes.size() || bytes.size() - offset < needed)
        return std::nullopt;

    Bitmap picture;
    picture.Width = static_cast<int>(width);
    picture.Height = static_cast<int>(height);
    picture.Pixels.resize(static_cast<std::size_t>(width * height));
    std::uint32_t* out = picture.Pixels.data();
    for (std::int64_t row = 0; row < height; ++row) {
        const std::int64_t stored = signedHeight < 0 ? row : height - 1 - row;
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + offset + stride * stored);
        for (std::int64_t x = 0; x < width; ++x, p += pixelBytes) {
            const std::uint32_t alpha = bits == 32 ? p[3] : 0xFF;
            *out++ = alpha << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
        }
    }
    return picture;
}

}  // namespace stelmar
