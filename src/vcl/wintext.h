// The Win32 boundary of the program's text: code page 1251 inside,
// UTF-16 for every W function, converted explicitly (never through the
// machine's ANSI code page).
#pragma once
#include "vcl/win.h"

#include <string>
#include <string_view>

#include "rtl/encoding.h"

namespace vcl {

// A UTF-16 copy of 1251 text, kept alive for the duration of a call.
class WideText {
public:
    explicit WideText(std::string_view text) : text_(rtl::Cp1251ToUtf16(text)) {}
    const WCHAR* c_str() const { return reinterpret_cast<const WCHAR*>(text_.c_str()); }
    operator const WCHAR*() const { return c_str(); }
    size_t size() const { return text_.size(); }

private:
    std::u16string text_;
};

inline std::string FromWide(const WCHAR* text, int length = -1) {
    if (!text) return {};
    const char16_t* p = reinterpret_cast<const char16_t*>(text);
    if (length < 0) {
        length = 0;
        while (p[length]) ++length;
    }
    return rtl::Utf16ToCp1251(std::u16string_view(p, static_cast<size_t>(length)));
}

// A window's text as 1251.
inline std::string GetWindowText1251(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::u16string buffer(static_cast<size_t>(length) + 1, u'\0');
    int got = GetWindowTextW(window, reinterpret_cast<WCHAR*>(buffer.data()), length + 1);
    buffer.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return rtl::Utf16ToCp1251(buffer);
}

inline void SetWindowText1251(HWND window, std::string_view text) {
    SetWindowTextW(window, WideText(text));
}

}  // namespace vcl
