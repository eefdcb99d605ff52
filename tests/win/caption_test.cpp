#include "gtest_windows.h"
#include "rtl/encoding.h"
#include "vcl/wintext.h"

// A caption travels 1251 -> UTF-16 -> a real window -> UTF-16 -> 1251 unchanged.
TEST(Win32Text, CyrillicCaptionRoundTripsThroughAWindow) {
    const std::string caption = "Симулятор V3.6";
    HWND window = CreateWindowExW(0, L"STATIC", vcl::WideText(caption), WS_OVERLAPPEDWINDOW, 0, 0, 300, 100,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(vcl::GetWindowText1251(window), caption);

    WCHAR raw[64] = {};
    ASSERT_EQ(GetWindowTextW(window, raw, 64), 14);
    EXPECT_EQ(raw[0], 0x0421);  // С
    EXPECT_EQ(raw[8], 0x0440);  // р

    // Every byte of the code page survives the trip (the NUL aside).
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    vcl::SetWindowText1251(window, all);
    EXPECT_EQ(vcl::GetWindowText1251(window), all);
    DestroyWindow(window);
}
