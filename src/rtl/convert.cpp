#include "rtl/convert.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <charconv>
#include <cstdlib>

namespace rtl {
namespace {

enum class Parse { Ok, NotANumber, OutOfRange };

// Syntax first, then range: "99999999999999999999" is a whole number that
// does not fit, not a text that is no number at all.
Parse ParseInt64(std::string_view text, int64_t& value, int64_t lo, int64_t hi) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) return Parse::NotANumber;
    // Accumulate as a negative number so that the minimum fits.
    int64_t acc = 0;
    bool overflow = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return Parse::NotANumber;
        int digit = c - '0';
        if (overflow || acc < (std::numeric_limits<int64_t>::min() + digit) / 10) {
            overflow = true;
            continue;
        }
        acc = acc * 10 - digit;
    }
    if (overflow) return Parse::OutOfRange;
    if (!negative) {
        if (acc == std::numeric_limits<int64_t>::min()) return Parse::OutOfRange;
        acc = -acc;
    }
    if (acc < lo || acc > hi) return Parse::OutOfRange;
    value = acc;
    return Parse::Ok;
}

void Convert(std::string_view text, int64_t& value, int64_t lo, int64_t hi) {
    switch (ParseInt64(text, value, lo, hi)) {
    case Parse::Ok:
        return;
    case Parse::NotANumber:
        throw EConvertError("'" + std::string(text) + "' не является целым числом");
    case Parse::OutOfRange:
        throw EConvertError("'" + std::string(text) + "' — целое число вне допустимых пределов (от " +
                            std::to_string(lo) + " до " + std::to_string(hi) + ")");
    }
}

}  // namespace

bool TryStrToInt64(std::string_view text, int64_t& value) {
    return ParseInt64(text, value, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()) ==
           Parse::Ok;
}

bool IsWholeNumberText(std::string_view text) {
    int64_t value;
    return ParseInt64(text, value, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()) !=
           Parse::NotANumber;
}

bool TryStrToInt(std::string_view text, int32_t& value) {
    int64_t v;
    if (ParseInt64(text, v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()) != Parse::Ok)
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

int32_t StrToInt(std::string_view text) {
    int64_t v;
    Convert(text, v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(v);
}

int64_t StrToInt64(std::string_view text) {
    int64_t v;
    Convert(text, v, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
    return v;
}

int32_t StrToIntDef(std::string_view text, int32_t fallback) {
    int32_t v;
    return TryStrToInt(text, v) ? v : fallback;
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

int64_t CheckedAdd(int64_t a, int64_t b) {
    int64_t r;
    if (__builtin_add_overflow(a, b, &r)) throw ERangeError();
    return r;
}

int64_t CheckedMul(int64_t a, int64_t b) {
    int64_t r;
    if (__builtin_mul_overflow(a, b, &r)) throw ERangeError();
    return r;
}

int64_t Round(long double value) {
    // 2^63 exactly; anything at or beyond it does not fit.
    constexpr long double kLimit = 9223372036854775808.0L;
    if (std::isnan(value) || value >= kLimit || value < -kLimit) throw ERangeError();
    // The default rounding mode of the floating-point unit is to nearest, ties to even.
    long double r = std::nearbyintl(value);
    if (r >= kLimit) throw ERangeError();
    return static_cast<int64_t>(r);
}

std::string FloatToStr(long double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    if (value == 0) return "0";
    // 15 significant digits, as d.dddddddddddddde±x.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14Le", value);
    std::string s = buf;
    bool negative = s[0] == '-';
    if (negative) s.erase(0, 1);
    size_t e = s.find('e');
    int exponent = std::atoi(s.c_str() + e + 1);
    std::string digits = s.substr(0, 1) + s.substr(2, e - 2);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent <= -5) {
        out += digits[0];
        if (digits.size() > 1) out += "," + digits.substr(1);
        out += "E" + std::to_string(exponent);
    } else if (exponent >= 0) {
        std::string whole = digits.substr(0, std::min<size_t>(digits.size(), exponent + 1));
        whole.append(exponent + 1 - whole.size(), '0');
        out += whole;
        if (digits.size() > static_cast<size_t>(exponent + 1)) out += "," + digits.substr(exponent + 1);
    } else {
        out += "0," + std::string(-exponent - 1, '0') + digits;
    }
    return out;
}

bool TryStrToFloat(std::string_view text, long double& value) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    // The shape is checked here; from_chars reads the number without the locale.
    std::string plain;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') plain += '-';
        ++i;
    }
    auto digits = [&] {
        size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') plain += text[i++];
        return i - start;
    };
    if (digits() == 0) return false;
    if (i < text.size() && text[i] == ',') {
        plain += '.';
        ++i;
        if (digits() == 0) return false;
    }
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        plain += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) plain += text[i++];
        if (digits() == 0) return false;
    }
    if (i != text.size()) return false;
    long double parsed = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), parsed);
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

std::string DateToStr(int year, int month, int day) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", day, month, year);
    return buf;
}

}  // namespace rtl
