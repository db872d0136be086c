#include "model/PictureFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace stelmar {
namespace {

std::uint32_t U32(const std::string& b, std::size_t at)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v |= std::uint32_t{static_cast<unsigned char>(b[at + i])} << (8 * i);
    return v;
}

void Set32(std::string& b, std::size_t at, std::uint32_t v)
{
    for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

Bitmap Sample()
{
    Bitmap p;
    p.Width = 3;
    p.Height = 2;
    p.Pixels = {0xFF112233, 0x80445566, 0x00778899, 0xFFAABBCC, 0x01DDEEFF, 0x7F000000};
    return p;
}

TEST(PictureFileTest, EncodeWritesTopDown32BitLayoutThatDecodes)
{
    const std::string b = EncodeBmp(Sample());
    ASSERT_EQ(b.size(), 54u + 4 * 6);
    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(U32(b, 2), 54u + 24);
    EXPECT_EQ(U32(b, 6), 0u);
    EXPECT_EQ(U32(b, 10), 54u);
    EXPECT_EQ(U32(b, 14), 40u);
    EXPECT_EQ(U32(b, 18), 3u);
    EXPECT_EQ(static_cast<std::int32_t>(U32(b, 22)), -2);
    EXPECT_EQ(U32(b, 26), 1u | 32u << 16);  // planes, bits per pixel
    EXPECT_EQ(U32(b, 30), 0u);
    EXPECT_EQ(U32(b, 34), 24u);
    for (std::size_t at = 38; at < 54; at += 4) EXPECT_EQ(U32(b, at), 0u) << at;
    EXPECT_EQ(b.substr(54, 4), std::string("\x33\x22\x11\xFF", 4));  // B, G, R, A of the top-left pixel

    const std::optional<Bitmap> back = DecodeBmp(b);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Width, 3);
    EXPECT_EQ(back->Pixels, Sample().Pixels);
}

TEST(PictureFileTest, DecodesBottomUp24BitWithPaddedRows)
{
    // 1x2, rows of 3 bytes padded to 4, the bottom row stored first.
    std::string b = EncodeBmp(Bitmap{1, 2, {0, 0}}).substr(0, 54);
    Set32(b, 22, 2);
    b[28] = 24;
    b += std::string("\x01\x02\x03\x00", 4);  // bottom row
    b += std::string("\x0A\x0B\x0C", 3);      // top row, final padding left out
    const std::optional<Bitmap> p = DecodeBmp(b);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Pixels, (std::vector<std::uint32_t>{0xFF0C0B0A, 0xFF030201}));
}

TEST(PictureFileTest, RejectsMalformedData)
{
    const std::string good = EncodeBmp(Sample());
    EXPECT_FALSE(DecodeBmp(""));
    EXPECT_FALSE(DecodeBmp(good.substr(0, 53)));
    EXPECT_FALSE(DecodeBmp(good.substr(0, good.size() - 1)));
    auto patched = [&good](std::size_t at, std::uint32_t v) {
        std::string b = good;
        Set32(b, at, v);
        return b;
    };
    EXPECT_FALSE(DecodeBmp(patched(0, 'B' | 'A' << 8)));        // not "BM"
    EXPECT_FALSE(DecodeBmp(patched(10, 0xFFFF'FFF0)));          // pixels beyond the end
    EXPECT_FALSE(DecodeBmp(patched(14, 12)));                   // old small header
    EXPECT_FALSE(DecodeBmp(patched(18, 0)));
    EXPECT_FALSE(DecodeBmp(patched(18, 0x8000'0000)));
    EXPECT_FALSE(DecodeBmp(patched(22, 0x8000'0000)));          // most negative height
    EXPECT_FALSE(DecodeBmp(patched(22, 0)));
    EXPECT_FALSE(DecodeBmp(patched(26, 1 | 16 << 16)));         // 16 bits per pixel
    EXPECT_FALSE(DecodeBmp(patched(30, 1)));                    // compressed
    // A header claiming a huge picture over a few bytes is refused, not allocated.
    std::string huge = patched(18, 30000);
    Set32(huge, 22, 30000);
    EXPECT_FALSE(DecodeBmp(huge));
    Set32(huge, 18, 30001);
    Set32(huge, 22, 1);
    EXPECT_FALSE(DecodeBmp(huge));
}

TEST(PictureFileTest, SidesUpToTheLimitDecode)
{
    for (const auto& [width, height] : {std::pair{kMaxPictureSide, 1}, std::pair{1, kMaxPictureSide}}) {
        const Bitmap picture{width, height, std::vector<std::uint32_t>(std::size_t(width) * height, 0xFFABCDEF)};
        const auto back = DecodeBmp(EncodeBmp(picture));
        ASSERT_TRUE(back) << width << " x " << height;
        EXPECT_EQ(back->Pixels, picture.Pixels);
    }
    for (const auto& [width, height] : {std::pair{kMaxPictureSide + 1, 1}, std::pair{1, kMaxPictureSide + 1}})
        EXPECT_FALSE(DecodeBmp(EncodeBmp(Bitmap{width, height, std::vector<std::uint32_t>(std::size_t(width) * height)})));
}

}  // namespace
}  // namespace stelmar
