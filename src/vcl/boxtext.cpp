#include "vcl/boxtext.h"

#include <cstdint>
#include <vector>

#include "vcl/graphics.h"

namespace vcl {

namespace {

constexpr int kTextId = 0xFFFF;  // the text of the system's message box

// The column after the last one the letters cover when the text is laid
// out as its place lays it out, `width` wide.
int InkRight(HWND text, int width, int height) {
    std::vector<WCHAR> letters(static_cast<size_t>(GetWindowTextLengthW(text)) + 1);
    GetWindowTextW(text, letters.data(), static_cast<int>(letters.size()));
    TBitmap picture(width + 64, height);  // letters drawn past the place still land on it
    if (picture.Empty()) return 0;
    HDC dc = picture.Canvas()->Handle();
    PatBlt(dc, 0, 0, picture.Width(), height, WHITENESS);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT place{0, 0, width, height};
    DrawTextW(dc, letters.data(), -1, &place, DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_NOCLIP);
    SelectObject(dc, old);
    const pixels::TPixels px = picture.Pixels();
    int right = 0;
    for (int y = 0; y < height; ++y)
        for (int x = px.Width - 1; x >= right; --x)
            if (const uint8_t* p = px.At(x, y); p[0] != 0xFF || p[1] != 0xFF || p[2] != 0xFF) {
                right = x + 1;
                break;
            }
    return right;
}

// Moves or sizes a child of the box by the given amounts.
void Shift(HWND box, HWND child, int dx, int grow) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(child, nullptr, r.left + dx, r.top, r.right - r.left + grow, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK FitOnActivate(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        char name[8] = {};
        GetClassNameA(box, name, sizeof name);
        if (lstrcmpA(name, "#32770") == 0 && !GetPropW(box, L"NorvixTextFitted")) {
            SetPropW(box, L"NorvixTextFitted", reinterpret_cast<HANDLE>(1));
            FitBoxText(box);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void FitBoxText(HWND box) {
    HWND text = GetDlgItem(box, kTextId);
    if (!text) return;
    // Wider, a word of the next line may join the line: measured again.
    for (int round = 0; round < 3; ++round) {
        RECT place;
        GetClientRect(text, &place);
        const int beyond = InkRight(text, place.right, place.bottom) + 1 - place.right;
        if (beyond <= 0) return;
        Shift(box, text, 0, beyond);
        RECT r;
        GetWindowRect(box, &r);
        SetWindowPos(box, nullptr, r.left - beyond / 2, r.top, r.right - r.left + beyond, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        // The buttons stay in the middle.
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char name[8] = {};
            GetClassNameA(child, name, sizeof name);
            if (lstrcmpiA(name, "Button") == 0) Shift(box, child, beyond / 2, 0);
        }
    }
}

TBoxTextFit::TBoxTextFit() {
    hook_ = SetWindowsHookExW(WH_CBT, FitOnActivate, nullptr, GetCurrentThreadId());
}

TBoxTextFit::~TBoxTextFit() {
    if (hook_) UnhookWindowsHookEx(hook_);
}

}  // namespace vcl
