// Text inside the program is code page 1251: one byte is one character.
// These conversions are used only at the edges: UTF-16 for Win32, UTF-8 for
// printing and for test messages.
#pragma once
#include <string>
#include <string_view>

namespace rtl {

char16_t Cp1251ToUtf16Char(unsigned char c);
// A character with no code page 1251 form becomes '?'.
char Utf16ToCp1251Char(char16_t c);

std::u16string Cp1251ToUtf16(std::string_view text);
std::string Utf16ToCp1251(std::u16string_view text);

// What a text saved as UTF-8 by many editors begins with.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string Cp1251ToUtf8(std::string_view text);
// Characters with no code page 1251 form (and malformed sequences) become '?'.
std::string Utf8ToCp1251(std::string_view text);

// ASCII and Cyrillic case folding of code page 1251 text.
std::string UpperCase1251(std::string_view text);
std::string LowerCase1251(std::string_view text);
bool SameText1251(std::string_view a, std::string_view b);

}  // namespace rtl
