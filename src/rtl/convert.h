// Number conversions with the program's rules: whole numbers are decimal with
// an optional sign, rounding is to nearest with halves to even, and floats are
// printed in the general format with a decimal comma.
#pragma once
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "rtl/errors.h"

namespace rtl {

// Leading blanks, an optional sign and decimal digits; 32-bit range.
// Throws EConvertError whose text names the offending input and says
// whether it is no whole number or one outside the range.
int32_t StrToInt(std::string_view text);
int64_t StrToInt64(std::string_view text);
bool TryStrToInt(std::string_view text, int32_t& value);
bool TryStrToInt64(std::string_view text, int64_t& value);
// The text has the form of a whole number, whether or not it fits in any
// range: told apart from one that is no number at all.
bool IsWholeNumberText(std::string_view text);
// The value, or `fallback` when the text is not a whole number.
int32_t StrToIntDef(std::string_view text, int32_t fallback);

std::string IntToStr(int64_t value);

// The text without the `blanks` before and after it.
inline std::string_view Trimmed(std::string_view text, std::string_view blanks = " \t") {
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) + 1 - first);
}

// Narrowing into a byte or 16-bit field; out of range throws ERangeError.
template <class T>
T CheckedNarrow(int64_t value) {
    if (value < static_cast<int64_t>(std::numeric_limits<T>::min()) ||
        value > static_cast<int64_t>(std::numeric_limits<T>::max()))
        throw ERangeError();
    return static_cast<T>(value);
}

// Sum that stops with ERangeError instead of wrapping.
int64_t CheckedAdd(int64_t a, int64_t b);
int64_t CheckedMul(int64_t a, int64_t b);

// Nearest integer, halves to even, in extended precision.
// A value outside the 64-bit range throws ERangeError.
int64_t Round(long double value);

// General format: up to 15 significant digits, no trailing zeros, ','.
// 12.5 -> "12,5", 300.0 -> "300", 1e20 -> "1E20", 0.00001 -> "1E-5".
std::string FloatToStr(long double value);
// Reads what FloatToStr writes: leading blanks, an optional sign, digits,
// an optional ',' with more digits, an optional exponent ("1,5E-5").
bool TryStrToFloat(std::string_view text, long double& value);

// Short date of a Russian system: dd.mm.yyyy.
std::string DateToStr(int year, int month, int day);

}  // namespace rtl
