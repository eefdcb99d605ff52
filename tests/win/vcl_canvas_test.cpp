// Bitmaps, canvases, pictures of windows and owner-drawn menus: what the
// skin engine paints with and into.
#include "gtest_windows.h"
#include "support/vcl_test_support.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "vcl/grids.h"
#include "vcl/imglist.h"

using namespace vcl;
using vcltest::Pump;

namespace {

// Blue, green, red of a pixel of a 24- or 32-bit bitmap.
struct Bgr {
    int b, g, r;
    bool operator==(const Bgr& other) const { return b == other.b && g == other.g && r == other.r; }
};

Bgr PixelAt(TBitmap& bitmap, int x, int y) {
    const uint8_t* p = bitmap.ScanLine(y) + x * (bitmap.PixelFormat() == pf32bit ? 4 : 3);
    return Bgr{p[0], p[1], p[2]};
}

// What the screen shows of a window's client area, read from the screen.
std::vector<COLORREF> ScreenPicture(HWND window, int width, int height) {
    HDC screen = GetDC(window);
    TBitmap copy(width, height);
    BitBlt(copy.Canvas()->Handle(), 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ReleaseDC(window, screen);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Bgr p = PixelAt(copy, x, y);
            pixels.push_back(RGB(p.r, p.g, p.b));
        }
    return pixels;
}

std::vector<COLORREF> BitmapPicture(TBitmap& bitmap) {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            Bgr p = PixelAt(bitmap, x, y);
            pixels.push_back(RGB(p.r, p.g, p.b));
        }
    return pixels;
}

}  // namespace

TEST(Bitmap, CanvasDrawingIsReadThroughScanLineAndScanLineWritesReachTheCanvas) {
    TBitmap bitmap(40, 30);
    ASSERT_FALSE(bitmap.Empty());
    TCanvas* canvas = bitmap.Canvas();
    canvas->Brush()->SetColor(clRed);
    canvas->FillRect(RECT{0, 0, 40, 30});
    canvas->Brush()->SetColor(RGB(10, 200, 30));
    canvas->FillRect(RECT{5, 5, 15, 10});
    canvas->Pen()->SetColor(clBlue);
    canvas->MoveTo(0, 20);
    canvas->LineTo(40, 20);
    EXPECT_EQ(PixelAt(bitmap, 0, 0), (Bgr{0, 0, 255}));
    EXPECT_EQ(PixelAt(bitmap, 5, 5), (Bgr{30, 200, 10}));
    EXPECT_EQ(PixelAt(bitmap, 14, 9), (Bgr{30, 200, 10}));
    EXPECT_EQ(PixelAt(bitmap, 15, 10), (Bgr{0, 0, 255}));  // right and bottom edges are outside
    EXPECT_EQ(PixelAt(bitmap, 39, 20), (Bgr{255, 0, 0}));

    // The skin core's view is the same memory: a byte written there is what
    // the canvas copies out next, with no copy in between.
    pixels::TPixels view = bitmap.Pixels();
    ASSERT_EQ(view.Width, 40);
    ASSERT_EQ(view.BytesPerPixel, 3);
    EXPECT_EQ(view.Row0, bitmap.ScanLine(0));
    uint8_t* p = view.At(30, 2);
    p[0] = 1, p[1] = 2, p[2] = 3;
    TBitmap target(40, 30);
    target.Canvas()->Draw(0, 0, &bitmap);
    EXPECT_EQ(PixelAt(target, 30, 2), (Bgr{1, 2, 3}));
    EXPECT_EQ(PixelAt(target, 5, 5), (Bgr{30, 200, 10}));

    // Text in the font colour, over the brush unless it is clear.
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(RECT{0, 0, 40, 30});
    canvas->Font()->SetColor(clBlack);
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextOut(2, 2, "Ж");
    int ink = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) ink += PixelAt(bitmap, x, y) == (Bgr{0, 0, 0});
    EXPECT_GT(ink, 5);
    EXPECT_GT(canvas->TextWidth("ЖЖ"), canvas->TextWidth("Ж"));

    // A new size keeps the shared part; a new format keeps the pixels; out of range rows are refused.
    bitmap.Canvas()->Brush()->SetStyle(bsSolid);
    bitmap.Canvas()->Brush()->SetColor(clLime);
    bitmap.Canvas()->FillRect(RECT{0, 0, 40, 30});
    bitmap.SetSize(60, 20);
    EXPECT_EQ(PixelAt(bitmap, 39, 19), (Bgr{0, 255, 0}));
    EXPECT_EQ(PixelAt(bitmap, 45, 5), (Bgr{0, 0, 0}));
    bitmap.SetPixelFormat(pf32bit);
    EXPECT_EQ(PixelAt(bitmap, 10, 10), (Bgr{0, 255, 0}));
    EXPECT_EQ(bitmap.Pixels().BytesPerPixel, 4);
    EXPECT_EQ(bitmap.ScanLine(20), nullptr);
    EXPECT_EQ(bitmap.ScanLine(-1), nullptr);
    bitmap.SetSize(0, 0);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_TRUE(bitmap.Pixels().Empty());

    // Pixels of the window-free layout come in whole.
    pixels::TPixelBitmap plain(3, 2);
    plain.Pixels().At(2, 1)[2] = 200;
    TBitmap fromPlain;
    fromPlain.Assign(plain.Pixels());
    EXPECT_EQ(PixelAt(fromPlain, 2, 1), (Bgr{0, 0, 200}));
}

TEST(Bitmap, ControlsOfOneFontShareOneWin32Font) {
    TFont a, b;
    b.SetName(a.Name());
    EXPECT_EQ(a.Handle(), b.Handle());
    b.SetStyle(fsBold);
    HFONT bold = b.Handle();
    EXPECT_NE(a.Handle(), bold);
    LOGFONTW description;
    EXPECT_NE(GetObjectW(a.Handle(), sizeof(description), &description), 0);  // still alive
    b.SetStyle(0);
    EXPECT_EQ(a.Handle(), b.Handle());
    EXPECT_EQ(SolidBrush(clRed), SolidBrush(clRed));
}

namespace {

class TPictureForm : public TForm {
public:
    explicit TPictureForm(TComponent* owner) : TForm(owner) {
        SetCaption("Картинка");
        SetClientSize(420, 260);
        Panel = new TPanel(this);
        Panel->SetParent(this);
        Panel->SetBounds(10, 10, 180, 90);
        Panel->SetCaption("Флот");
        Panel->SetBevelWidth(2);
        Panel->SetBorderStyle(bsSingle);
        Label = new TLabel(this);
        Label->SetParent(Panel);
        Label->SetBounds(6, 6, 80, 16);
        Label->SetCaption("Наш флот");
        Edit = new TEdit(this);
        Edit->SetParent(Panel);
        Edit->SetBounds(6, 50, 120, 21);
        Edit->SetText("500");
        Grid = new TStringGrid(this);
        Grid->SetParent(this);
        Grid->SetBounds(200, 10, 210, 120);
        Grid->SetColCount(3);
        Grid->SetRowCount(3);
        Grid->SetCells(1, 0, "Атака");
        Grid->SetCells(1, 1, "120");
        Gauge = new TGauge(this);
        Gauge->SetParent(this);
        Gauge->SetBounds(10, 140, 400, 20);
        Gauge->SetProgress(40);
        Title = new TLabel(this);
        Title->SetParent(this);
        Title->SetBounds(10, 180, 100, 16);
        Title->SetCaption("Итог");
        OnPaint = [this](TObject*) {
            Canvas()->Brush()->SetColor(RGB(250, 240, 10));
            Canvas()->FillRect(RECT{300, 200, 400, 250});
            ++Paints;
        };
    }
    TPanel* Panel;
    TLabel* Label;
    TEdit* Edit;
    TStringGrid* Grid;
    TGauge* Gauge;
    TLabel* Title;
    int Paints = 0;
};

}  // namespace

TEST(Picture, PaintToOfAFormWithPanelGridAndGaugeEqualsTheScreen) {
    auto* form = NewForm<TPictureForm>(nullptr);
    // A property the skin sets by name, the way it adapts grids it does not know.
    EXPECT_TRUE(form->Grid->SetOrdProp("FixedColor", RGB(0, 128, 192)));
    int64_t fixed = 0;
    EXPECT_TRUE(form->Grid->GetOrdProp("FixedColor", fixed));
    EXPECT_EQ(fixed, RGB(0, 128, 192));
    EXPECT_FALSE(form->Panel->SetOrdProp("FixedColor", 0));
    EXPECT_EQ(form->Grid->GetObjectProp("Font"), form->Grid->Font());
    EXPECT_EQ(form->Grid->GetObjectProp("TitleFont"), nullptr);
    std::string anchors;
    EXPECT_TRUE(form->Grid->GetSetProp("Anchors", anchors));
    EXPECT_EQ(anchors, "akLeft,akTop");

    form->Show();
    SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // No caret blinking in the edit: the screen and the picture are taken apart in time.
    ::SetFocus(form->Handle());
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    EXPECT_GT(form->Paints, 0);
    int width = form->ClientWidth(), height = form->ClientHeight();
    std::vector<COLORREF> screen = ScreenPicture(form->Handle(), width, height);

    TBitmap picture(width, height);
    picture.Canvas()->Brush()->SetColor(clBlack);
    picture.Canvas()->FillRect(RECT{0, 0, width, height});
    form->PaintTo(picture.Canvas(), 0, 0);
    EXPECT_EQ(form->ControlState() & csPaintCopy, 0u);
    std::vector<COLORREF> printed = BitmapPicture(picture);
    ASSERT_EQ(printed.size(), screen.size());
    // The square between the grid's two scroll bars is drawn plain: the
    // visual style's outline of it cannot be asked for.
    SCROLLBARINFO vertical = {}, horizontal = {};
    vertical.cbSize = horizontal.cbSize = sizeof(SCROLLBARINFO);
    ASSERT_TRUE(GetScrollBarInfo(form->Grid->Handle(), OBJID_VSCROLL, &vertical));
    ASSERT_TRUE(GetScrollBarInfo(form->Grid->Handle(), OBJID_HSCROLL, &horizontal));
    RECT corner{vertical.rcScrollBar.left, horizontal.rcScrollBar.top, vertical.rcScrollBar.right,
                horizontal.rcScrollBar.bottom};
    MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&corner), 2);
    int differ = 0, firstX = -1, firstY = -1;
    for (size_t i = 0; i < screen.size(); ++i) {
        POINT at{int(i) % width, int(i) / width};
        if (printed[i] != screen[i] && !PtInRect(&corner, at) && differ++ == 0) firstX = at.x, firstY = at.y;
    }
    EXPECT_EQ(differ, 0) << "first difference at " << firstX << "," << firstY;
    // The fixed colour set by name, the form's own OnPaint, the label on the panel.
    RECT fixedCell = form->Grid->CellRect(0, 1);
    EXPECT_EQ(printed[(10 + 2 + fixedCell.top + 5) * width + 200 + 2 + fixedCell.left + 5], RGB(0, 128, 192));
    EXPECT_EQ(printed[220 * width + 350], RGB(250, 240, 10));

    // A child's own picture at another place: frame included.
    TBitmap panelPicture(form->Panel->Width(), form->Panel->Height());
    form->Panel->PaintTo(panelPicture.Canvas(), 0, 0);
    std::vector<COLORREF> panelPixels = BitmapPicture(panelPicture);
    for (int y = 0; y < form->Panel->Height(); ++y)
        for (int x = 0; x < form->Panel->Width(); ++x)
            if (panelPixels[y * form->Panel->Width() + x] != screen[(y + 10) * width + x + 10]) {
                ADD_FAILURE() << "panel picture differs at " << x << "," << y;
                y = form->Panel->Height();
                break;
            }
    form->Free();
}

namespace {

HWND g_menuWindow = nullptr;

void CALLBACK ChooseSecondItem(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (!menu) return;
    KillTimer(nullptr, timer);
    g_menuWindow = menu;
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
}

}  // namespace

TEST(Menus, OwnerDrawnItemsAreMeasuredAndDrawnAndEditedInPlace) {
    auto* form = NewForm<TForm>(nullptr);
    form->SetClientSize(300, 120);
    auto* menu = new TMainMenu(form);
    menu->SetOwnerDraw(true);
    auto* file = DeclareMenuItem(form, menu->Items(), "File", "Файл");
    auto* save = DeclareMenuItem(form, file, "Save", "Сохранить");
    save->SetShortCut(ShortCut('S', scCtrl));
    auto* one = DeclareMenuItem(form, file, "One", "Один");
    auto* two = DeclareMenuItem(form, file, "Two", "Два");
    one->SetRadioItem(true);
    two->SetRadioItem(true);
    two->SetBreak(mbBreak);
    int measured = 0, drawn = 0;
    RECT drawnRect{};
    HDC drawnDC = nullptr;
    file->OnMeasureItem = [&](TObject*, TCanvas* canvas, int& width, int& height) {
        ++measured;
        EXPECT_TRUE(canvas->HandleAllocated());
        width = 60;
        height = 18;
    };
    file->OnAdvancedDrawItem = [&](TObject* sender, TCanvas* canvas, RECT rect, TOwnerDrawState state) {
        ++drawn;
        EXPECT_EQ(sender, file);
        drawnRect = rect;
        drawnDC = canvas->Handle();
        canvas->Brush()->SetColor(clFuchsia);
        canvas->FillRect(rect);
    };
    form->SetMenu(menu);
    form->Show();
    SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    Pump();
    EXPECT_GT(measured, 0);
    EXPECT_GT(drawn, 0);
    ASSERT_NE(drawnDC, nullptr);
    // The item's picture is on the menu line.
    RECT onScreen;
    ASSERT_TRUE(GetMenuItemRect(form->Handle(), menu->Handle(), 0, &onScreen));
    EXPECT_GE(onScreen.right - onScreen.left, 60);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetPixel(screen, onScreen.left + 5, onScreen.top + 5), ColorToRGB(clFuchsia));
    ReleaseDC(nullptr, screen);

    // The item behind a menu handle and a position.
    EXPECT_EQ(TMenuItem::FromMenuPosition(menu->Handle(), 0), file);
    EXPECT_EQ(TMenuItem::FromMenuPosition(file->Handle(), 2), two);
    EXPECT_EQ(TMenuItem::FromMenuPosition(file->Handle(), 9), nullptr);
    EXPECT_EQ(ShortCutToText(save->ShortCut()), "Ctrl+S");

    // A caption change edits the item where it is: the handles stay.
    HMENU bar = menu->Handle(), sub = file->Handle();
    save->SetCaption("Записать");
    one->SetChecked(true);
    two->SetChecked(true);
    EXPECT_FALSE(one->Checked());  // one radio item of a group is checked
    EXPECT_EQ(menu->Handle(), bar);
    EXPECT_EQ(file->Handle(), sub);
    WCHAR text[64] = {};
    GetMenuStringW(sub, 0, text, 64, MF_BYPOSITION);
    EXPECT_EQ(FromWide(text), "Записать\tCtrl+S");
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    GetMenuItemInfoW(sub, 2, TRUE, &info);
    EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
    EXPECT_TRUE(info.fType & MFT_MENUBREAK);
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
    EXPECT_TRUE(info.fState & MFS_CHECKED);
    GetMenuItemInfoW(sub, 1, TRUE, &info);
    EXPECT_FALSE(info.fState & MFS_CHECKED);
    // Adding an item is a new structure: the menu is built again.
    DeclareMenuItem(form, file, "Three", "Три");
    EXPECT_EQ(GetMenuItemCount(file->Handle()), 4);

    // The menu leaves the window before it is destroyed, once.
    form->SetMenu(nullptr);
    EXPECT_EQ(GetMenu(form->Handle()), nullptr);
    EXPECT_FALSE(IsMenu(bar));
    form->Free();
}

TEST(Menus, APopupMenuSendsItsCommandToItsFormAfterItCloses) {
    auto* form = NewForm<TForm>(nullptr);
    form->SetClientSize(300, 200);
    auto* list = new TListBox(form);
    list->SetParent(form);
    auto* popup = new TPopupMenu(form);
    popup->SetOwnerDraw(true);  // drawn by the layer's own drawing
    int firstClicks = 0, secondClicks = 0, popups = 0;
    DeclareMenuItem(form, popup->Items(), "First", "Первый", [&](TObject*) { ++firstClicks; });
    auto* second = DeclareMenuItem(form, popup->Items(), "Second", "Второй", [&](TObject*) { ++secondClicks; });
    second->SetDefault(true);
    popup->OnPopup = [&](TObject*) { ++popups; };
    list->SetPopupMenu(popup);
    bool commandSeen = false;
    TWindowProcToken token = form->ReplaceWindowProc([&](TMessage& message) {
        if (message.Msg == WM_COMMAND && LOWORD(message.WParam) == second->Command()) commandSeen = true;
        form->CallPreviousWindowProc(token, message);
    });
    form->Show();
    Pump();
    g_menuWindow = nullptr;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, ChooseSecondItem);
    popup->SetPopupComponent(list);
    POINT at = list->ClientToScreen(POINT{10, 10});
    popup->Popup(at.x, at.y);
    KillTimer(nullptr, timer);
    ASSERT_NE(g_menuWindow, nullptr);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(secondClicks, 0);  // the command is still on its way
    Pump();
    EXPECT_TRUE(commandSeen);
    EXPECT_EQ(secondClicks, 1);
    EXPECT_EQ(firstClicks, 0);
    form->RestoreWindowProc(token);
    form->Free();
}

// A plain line is drawn from its measurement once a recording of the same
// font, format and height has agreed: it must land exactly where the
// recorded layout put the same text in a rectangle two pixels narrower.
TEST(Canvas, APlainLineDrawnFromItsMeasureLandsWhereTheRecordedLayoutPutIt) {
    const std::string texts[] = {"57% (бой №12)", "Штурмовик Гадюка  2824", "1", "WWWW wide and long line"};
    const UINT formats[] = {DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
                            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
                            DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS};
    constexpr int kWidth = 300;
    for (size_t f = 0; f < std::size(formats); ++f) {
        const UINT format = formats[f];
        const int height = 17 + static_cast<int>(f);  // a new format and height: its first text is recorded
        auto draw = [&](const std::string& text, int width) {
            TBitmap bitmap(width, height);
            TCanvas* c = bitmap.Canvas();
            c->FillRect(RECT{0, 0, width, height});
            c->Font()->SetName("Tahoma");
            c->Font()->SetSize(8);
            c->Brush()->SetStyle(bsClear);
            RECT r{0, 0, width, height};
            c->DrawText(text, r, format);
            std::vector<Bgr> pixels;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) pixels.push_back(PixelAt(bitmap, x, y));
            return pixels;
        };
        // Where the wider rectangle puts the line: as far right as the alignment takes it.
        const int shift = (format & DT_RIGHT) ? 2 : (format & DT_CENTER) ? 1 : 0;
        for (const std::string& text : texts) {
            const std::vector<Bgr> recorded = draw(text, kWidth), measured = draw(text, kWidth + 2);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < kWidth; ++x)
                    ASSERT_EQ(recorded[static_cast<size_t>(y * kWidth + x)],
                              measured[static_cast<size_t>(y * (kWidth + 2) + x + shift)])
                        << text << ", format " << format << ", at " << x << "," << y;
            EXPECT_EQ(recorded, draw(text, kWidth)) << text;
            EXPECT_LT(std::count(recorded.begin(), recorded.end(), Bgr{255, 255, 255}),
                      static_cast<long>(recorded.size()))
                << "nothing drawn: " << text;
        }
    }
}
