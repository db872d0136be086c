#include "model/TextCodec.h"

#include <gtest/gtest.h>

#include <random>

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

// Body text is the conversion above with "\\", "{" and "}" escaped, taken
// character by character through a buffer: texts of every kind of byte,
// broken sequences and runs longer than the buffer included.
TEST(TextCodecTest, RtfBodyTextIsTheConversionWithControlCharactersEscaped)
{
    EXPECT_EQ([] { std::string out = "x"; AppendRtfText(out, "{Ж}\\中\xD0"); return out; }(),
              "x\\{\xC6\\}\\\\\\u20013\\'3f?");
    const std::vector<std::string> pieces = {"a", " ", "\\", "{", "}", "Ж", "я", "Ё", "№", "中", "😀", "\xD0", "\xFF", "\xC0\x80", "\xE2\x82"};
    std::mt19937 rng(3);
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const int length = static_cast<int>(rng() % (round % 10 == 0 ? 2000 : 40));
        for (int k = 0; k < length; ++k) text += pieces[rng() % pieces.size()];
        std::string expected = "prefix";
        std::size_t start = 0;
        for (std::size_t i = 0; i <= text.size(); ++i) {
            if (i < text.size() && text[i] != '\\' && text[i] != '{' && text[i] != '}') continue;
            AppendCp1251Rtf(expected, std::string_view(text).substr(start, i - start));
            if (i < text.size()) expected += std::string("\\") + text[i];
            start = i + 1;
        }
        std::string out = "prefix";
        AppendRtfText(out, text);
        ASSERT_EQ(out, expected) << "round " << round;
    }
}

}  // namespace
}  // namespace stelmar
