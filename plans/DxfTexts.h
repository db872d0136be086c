#pragma once

// The texts of a DXF drawing as UTF-8: the bytes of a file before AutoCAD
// 2007 (AC1021) are in the code page its header names ($DWGCODEPAGE, such as
// ANSI_1251), later files are UTF-8; either may hold \U+XXXX escapes.

#include <string>
#include <string_view>

namespace stelmar {

class DxfTextDecoder {
public:
    // `version` is $ACADVER ("AC1015", "AC1021" ...), `codePage` is
    // $DWGCODEPAGE; an unknown or missing code page reads as ANSI_1252.
    DxfTextDecoder(std::string_view version, std::string_view codePage);

    // The bytes as UTF-8 with the \U+XXXX escapes replaced; bytes the code
    // page (or UTF-8) leaves undefined become "?".
    std::string operator()(std::string_view raw) const;

private:
    bool utf8_ = false;
    std::string charset_;  // iconv's name of the code page
};

// The text of a TEXT entity: %%c, %%d, %%p become Ø, °, ±; the underline
// and overline switches %%u, %%o are dropped.
std::string PlainText(std::string_view utf8);

// The text of an MTEXT entity without its formatting codes: \P is a new
// line, \~ a space, \\ \{ \} the characters themselves; font, height,
// colour and other switches and the braces that group them are dropped;
// \S's stacked fractions become "a/b".
std::string PlainMText(std::string_view utf8);

}  // namespace stelmar
