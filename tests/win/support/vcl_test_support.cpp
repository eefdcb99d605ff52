#include "vcl_test_support.h"

#include <algorithm>
#include <cstdio>

#include "rtl/encoding.h"
#include "vcl/wintext.h"

namespace vcltest {

using namespace vcl;

TManualClock& Clock() {
    static TManualClock* clock = [] {
        auto* manual = new TManualClock;
        manual->Set(1000000);
        SetTimerClock(manual);
        return manual;
    }();
    return *clock;
}

void Pump() {
    for (int round = 0; round < 3; ++round) {
        Application->ProcessMessages();
        RedrawWindow(nullptr, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
}

void Advance(uint64_t ms) {
    TManualClock& clock = Clock();
    uint64_t target = clock.NowMs() + ms;
    Pump();
    uint64_t due;
    // A handler may itself move the clock on; the clock never goes back.
    while (NextTimerDue(due) && due <= std::max(target, clock.NowMs())) {
        if (due > clock.NowMs()) clock.Set(due);
        RunDueTimers();
        Pump();
    }
    if (target > clock.NowMs()) clock.Set(target);
    RunDueTimers();
    Pump();
}

namespace {

LRESULT CALLBACK ActionWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_APP + 7) {
        auto* action = reinterpret_cast<std::function<void()>*>(lParam);
        (*action)();
        delete action;
        return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

HWND ActionWindow() {
    static HWND window = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = ActionWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"NorvixTestActions";
        RegisterClassW(&windowClass);
        return CreateWindowExW(0, L"NorvixTestActions", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }();
    return window;
}

}  // namespace

void PostAction(std::function<void()> action) {
    PostMessageW(ActionWindow(), WM_APP + 7, 0, reinterpret_cast<LPARAM>(new std::function<void()>(std::move(action))));
}

TForm* FindForm(const std::string& name) { return Screen->FindForm(name); }

TComponent* FindComponent(TComponent* root, const std::string& name) {
    if (!root) return nullptr;
    if (TComponent* direct = root->FindComponent(name)) return direct;
    for (int i = 0; i < root->ComponentCount(); ++i)
        if (TComponent* found = FindComponent(root->Components(i), name)) return found;
    return nullptr;
}

void TypeText(TWinControl* control, const std::string& text) {
    HWND window = control->Handle();
    SendMessageW(window, EM_SETSEL, 0, -1);
    if (text.empty()) {
        SendMessageW(window, WM_CHAR, VK_BACK, 0);
    }
    for (char16_t c : rtl::Cp1251ToUtf16(text)) SendMessageW(window, WM_CHAR, c, 1);
    Pump();
}

void PressKey(TWinControl* control, WPARAM key) {
    control->SetFocus();
    PostMessageW(control->Handle(), WM_KEYDOWN, key, 1);
    PostMessageW(control->Handle(), WM_KEYUP, key, 0xC0000001);
    Pump();
}

void Click(TControl* control) {
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
        HWND window = windowed->Handle();
        LPARAM at = MAKELPARAM(windowed->ClientWidth() / 2, windowed->ClientHeight() / 2);
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(window, WM_LBUTTONUP, 0, at);
    } else if (control->Parent()) {
        LPARAM at = MAKELPARAM(control->Left() + control->Width() / 2, control->Top() + control->Height() / 2);
        SendMessageW(control->Parent()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(control->Parent()->Handle(), WM_LBUTTONUP, 0, at);
    }
    Pump();
}

void SelectItem(TListBox* list, int index) {
    HWND window = list->Handle();
    SendMessageW(window, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    RECT item;
    SendMessageW(window, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    Pump();
}

void ChooseMenuItem(TForm* form, TMenuItem* item) {
    PostMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(item->Command(), 0), 0);
    Pump();
}

std::vector<std::string> MemoLines(TMemo* memo) { return static_cast<TMemoStrings*>(memo->Lines())->Lines(); }

namespace {

BOOL CALLBACK MatchVisibleDialog(HWND w, LPARAM found) {
    WCHAR name[16] = {};
    GetClassNameW(w, name, 16);
    if (FromWide(name) != "#32770" || !IsWindowVisible(w)) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

}  // namespace

HWND VisibleDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), MatchVisibleDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

namespace {

std::vector<POINT> ProbePoints(const std::vector<HWND>& windows) {
    constexpr int kGrid = 7;
    std::vector<POINT> points;
    for (HWND window : windows) {
        RECT r;
        GetWindowRect(window, &r);
        for (int i = 1; i <= kGrid; ++i)
            for (int j = 1; j <= kGrid; ++j)
                points.push_back(POINT{r.left + (r.right - r.left) * i / (kGrid + 1), r.top + (r.bottom - r.top) * j / (kGrid + 1)});
    }
    return points;
}

}  // namespace

std::vector<COLORREF> ScreenProbes(const std::vector<HWND>& windows) {
    std::vector<COLORREF> colours;
    HDC screen = GetDC(nullptr);
    for (POINT p : ProbePoints(windows)) colours.push_back(GetPixel(screen, p.x, p.y));
    ReleaseDC(nullptr, screen);
    return colours;
}

int ScreenDiffers(const std::vector<HWND>& windows) {
    const std::vector<POINT> points = ProbePoints(windows);
    const std::vector<COLORREF> seen = ScreenProbes(windows);
    int differ = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        HWND top = GetAncestor(WindowFromPoint(points[i]), GA_ROOT);
        if (std::find(windows.begin(), windows.end(), top) == windows.end()) continue;
        RECT r;
        GetWindowRect(top, &r);
        HDC own = GetDCEx(top, nullptr, DCX_WINDOW | DCX_CACHE);  // children included
        if (GetPixel(own, points[i].x - r.left, points[i].y - r.top) != seen[i]) ++differ;
        ReleaseDC(top, own);
    }
    return differ;
}

bool SaveScreenshot(TForm* form, const std::string& path) {
    HWND window = form->Handle();
    if (!IsWindowVisible(window)) return false;
    // Active and on top, frame and every control painted, as a person sees it.
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    RECT r;
    GetWindowRect(window, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;
    // Copied from the window's own picture, frame included, not from the
    // screen: under Xvfb the screen may not have received the frame yet,
    // and the windows of other tests running at the same time may cover it.
    HDC source = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    size_t imageSize = stride * static_cast<size_t>(height);
    bool ok = false;
    if (FILE* file = fopen(path.c_str(), "wb")) {
        BITMAPFILEHEADER header = {};
        header.bfType = 0x4D42;
        header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
        header.bfSize = static_cast<DWORD>(header.bfOffBits + imageSize);
        ok = fwrite(&header, sizeof(header), 1, file) == 1 &&
             fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, file) == 1 &&
             fwrite(bits, 1, imageSize, file) == imageSize;
        fclose(file);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return ok;
}

MessageBoxes::MessageBoxes() { Resume(); }

void MessageBoxes::Pause() { Application->SetMessageBoxHandler(nullptr); }

void MessageBoxes::Resume() {
    Application->SetMessageBoxHandler([this](const std::string& text, const std::string& caption, UINT flags) {
        shown_.push_back(Box{text, caption, flags});
        if (!answers_.empty()) {
            int answer = answers_.front();
            answers_.pop_front();
            return answer;
        }
        switch (flags & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return IDOK;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            return IDYES;
        case MB_RETRYCANCEL:
            return IDRETRY;
        case MB_ABORTRETRYIGNORE:
            return IDABORT;
        default:
            return IDOK;
        }
    });
}

MessageBoxes::~MessageBoxes() { Application->SetMessageBoxHandler(nullptr); }

std::vector<std::string> MessageBoxes::Texts() const {
    std::vector<std::string> texts;
    for (const auto& box : shown_) texts.push_back(box.text);
    return texts;
}

std::string Utf8(const std::string& text) { return rtl::Cp1251ToUtf8(text); }

}  // namespace vcltest
