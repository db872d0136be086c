#pragma once

// Conversion between the program's UTF-8 text and the Windows Cyrillic code
// page (Windows-1251) of project files and reports.

#include <optional>
#include <string>
#include <string_view>

namespace stelmar {

// nullopt when some character has no Windows-1251 code or the text is not
// valid UTF-8.
std::optional<std::string> Utf8ToCp1251(std::string_view utf8);
// nullopt when the bytes hold a code that Windows-1251 leaves undefined (0x98).
std::optional<std::string> Cp1251ToUtf8(std::string_view cp1251);
// For RTF documents: characters without a Windows-1251 code become
// "\uN\'3f" escapes (N as a signed 16-bit number, one escape per UTF-16
// unit); bytes that are not valid UTF-8 become "?". RTF control characters
// ("\", "{", "}") are left for the caller to escape.
std::string Utf8ToCp1251Rtf(std::string_view utf8);
// The same, appended to `out`.
void AppendCp1251Rtf(std::string& out, std::string_view utf8);
// The same with the RTF control characters escaped by a backslash: text
// for the body of a document.
void AppendRtfText(std::string& out, std::string_view utf8);
// True when `text` is a sequence of whole, valid UTF-8 characters.
bool IsValidUtf8(std::string_view text);

// True when every character of `utf8` has a Windows-1251 code.
bool FitsCp1251(std::string_view utf8);

}  // namespace stelmar
