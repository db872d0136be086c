#include "model/TextCodec.h"

#include <gtest/gtest.h>

namespace stelmar {
namespace {

TEST(TextCodecTest, CyrillicMapsToWindows1251Bytes)
{
    EXPECT_EQ(Utf8ToCp1251("plain ASCII 12,5"), "plain ASCII 12,5");
    EXPECT_EQ(Utf8ToCp1251("А"), "\xC0");
    EXPECT_EQ(Utf8ToCp1251("я"), "\xFF");
    EXPECT_EQ(Utf8ToCp1251("Ёё№"), "\xA8\xB8\xB9");
    EXPECT_EQ(Utf8ToCp1251("Узел A1"), "\xD3\xE7\xE5\xEB A1");
    EXPECT_EQ(Cp1251ToUtf8("\xD3\xE7\xE5\xEB A1"), "Узел A1");
}

TEST(TextCodecTest, EveryDefinedByteSurvivesARoundTrip)
{
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::optional<std::string> utf8 = Cp1251ToUtf8(byte);
        if (b == 0x98) {
            EXPECT_FALSE(utf8) << "0x98 is undefined";
            continue;
        }
        ASSERT_TRUE(utf8) << b;
        EXPECT_EQ(Utf8ToCp1251(*utf8), byte) << b;
    }
    EXPECT_FALSE(Cp1251ToUtf8("\xC0\x98\xC0"));

    // Every character of the code page, alone and in runs, the same for RTF.
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != 0x98) all += static_cast<char>(b);
    const std::string runs = all + all + "\xC0\xFF" + all;
    EXPECT_EQ(Utf8ToCp1251Rtf(*Cp1251ToUtf8(runs)), runs);
}

TEST(TextCodecTest, CharactersOutsideTheCodePageAreRefused)
{
    EXPECT_FALSE(Utf8ToCp1251("Узел 中"));
    EXPECT_FALSE(Utf8ToCp1251("\xD0"));  // truncated sequence
    EXPECT_FALSE(Utf8ToCp1251("\xFF"));
    EXPECT_TRUE(FitsCp1251("Лестница №2"));
    EXPECT_FALSE(FitsCp1251("😀"));
}

TEST(TextCodecTest, RtfEscapesUnicodeAsSignedUtf16Units)
{
    EXPECT_EQ(Utf8ToCp1251Rtf("Аb中"), "\xC0" "b\\u20013\\'3f");
    // U+1F600 is the surrogate pair D83D DE00.
    EXPECT_EQ(Utf8ToCp1251Rtf("x😀y"), "x\\u-10179\\'3f\\u-8704\\'3f" "y");
    EXPECT_EQ(Utf8ToCp1251Rtf("\xEF\xBF\xBD"), "\\u-3\\'3f");  // U+FFFD
    EXPECT_EQ(Utf8ToCp1251Rtf("а\xFFб"), "\xE0?\xE1");
    EXPECT_EQ(Utf8ToCp1251Rtf("\xC0\x80"), "??");          // overlong
    EXPECT_EQ(Utf8ToCp1251Rtf("\xED\xA0\x80"), "???");     // encoded surrogate
    EXPECT_EQ(Utf8ToCp1251Rtf("я\xD0"), "\xFF?");          // truncated at the end
}

}  // namespace
}  // namespace stelmar
