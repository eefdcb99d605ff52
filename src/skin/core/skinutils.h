// Small shared helpers of the skin library: the sectioned ini reader of
// skin texts, word and string helpers, numbers, folders.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace skin {

// Ini text split into named sections: empty lines and lines starting with
// ";" are skipped, "[name]" starts a section, any other line belongs to the
// current one (lines before the first section are dropped).
struct TIniSection {
    std::string Name;
    std::vector<std::string> Lines;
};
using TIniSections = std::vector<TIniSection>;

TIniSections ReadIniSections(std::string_view text);
// The first section of that name (compared without regard to case), or nullptr.
const TIniSection* FindIniSection(const TIniSections& sections, std::string_view name);
// The text after "Key=" in the section (key compared without regard to case), else Default.
std::string ReadIniString(const TIniSections& sections, std::string_view section, std::string_view key,
                          const std::string& fallback);
// As ReadIniString, as an integer; "0x1F" is hexadecimal. Default when missing or no number.
int ReadIniInteger(const TIniSections& sections, std::string_view section, std::string_view key, int fallback);

// Whole numbers as the skin files write them: decimal with an optional
// sign, or hexadecimal after "$" or "0x" (32 bits, so $FFFFFFFF is -1).
// Throws rtl::EConvertError naming the text when it is no number.
int SkinStrToInt(std::string_view text);
bool TrySkinStrToInt(std::string_view text, int& value);

// Words apart by any character of `delims`; runs of delimiters count as one.
// WordStart: 1-based position of word N, 0 when there are fewer words.
int WordStart(int n, std::string_view s, std::string_view delims);
std::string WordAt(int n, std::string_view s, std::string_view delims);
int CountWords(std::string_view s, std::string_view delims);

std::string RemoveChar(std::string_view s, char c);
// Every occurrence replaced, left to right; the replaced text is not searched again.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

inline const std::string& IfThenStr(bool cond, const std::string& a, const std::string& b) { return cond ? a : b; }
inline int IfThenInt(bool cond, int a, int b) { return cond ? a : b; }
inline bool IsBetween(int v, int lo, int hi) { return lo <= v && v <= hi; }
inline int IntMax(int a, int b) { return a > b ? a : b; }
inline int IntMin(int a, int b) { return a < b ? a : b; }
// V clamped into Min..Max, the minimum tested first.
inline int IntLimit(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// A folder name ending in a backslash: "" stays "", "C" becomes "C:\",
// "C:/x/" becomes "C:/x\", "dir" becomes "dir\".
std::string NormalDir(std::string_view dir);

// The comma-separated text of a set (no brackets) with one element added at
// the end or removed; `changed` says whether the text changed.
std::string ChangeSetText(std::string_view text, std::string_view element, bool include, bool& changed);

// Removes characters from the end and appends "..." until `measure` of the
// text fits `width`; "..." alone when nothing of the text fits.
std::string FitTextWithEllipsis(const std::string& text, int width, const std::function<int(const std::string&)>& measure);

}  // namespace skin
