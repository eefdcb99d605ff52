#include "vcl/graphics.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "vcl/wintext.h"

namespace vcl {

COLORREF ColorToRGB(TColor color) {
    if ((color & clSystemColor) == clSystemColor) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color) & 0xFFFFFF;
}

// ---- shared Win32 fonts and brushes

namespace {

// What makes two fonts the same Win32 font (the colour is not part of it).
using FontKey = std::tuple<int, std::string, unsigned, int>;

struct SharedFont {
    HFONT handle;
    int users;
};

std::map<FontKey, SharedFont>& FontCache() {
    static auto* cache = new std::map<FontKey, SharedFont>;
    return *cache;
}

std::map<HFONT, FontKey>& FontKeys() {
    static auto* keys = new std::map<HFONT, FontKey>;
    return *keys;
}

HFONT AcquireFont(const FontKey& key) {
    auto& cache = FontCache();
    auto it = cache.find(key);
    if (it != cache.end()) {
        ++it->second.users;
        return it->second.handle;
    }
    const auto& [height, name, style, charset] = key;
    LOGFONTW font = {};
    font.lfHeight = height;
    font.lfWeight = (style & fsBold) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (style & fsItalic) ? 1 : 0;
    font.lfUnderline = (style & fsUnderline) ? 1 : 0;
    font.lfStrikeOut = (style & fsStrikeOut) ? 1 : 0;
    font.lfCharSet = static_cast<BYTE>(charset);
    font.lfQuality = DEFAULT_QUALITY;
    WideText face(name);
    size_t n = std::min<size_t>(face.size(), LF_FACESIZE - 1);
    for (size_t i = 0; i < n; ++i) font.lfFaceName[i] = face.c_str()[i];
    HFONT handle = CreateFontIndirectW(&font);
    cache[key] = SharedFont{handle, 1};
    FontKeys()[handle] = key;
    return handle;
}

void ReleaseFont(HFONT handle) {
    auto keyIt = FontKeys().find(handle);
    if (keyIt == FontKeys().end()) return;
    auto it = FontCache().find(keyIt->second);
    if (--it->second.users > 0) return;
    FontCache().erase(it);
    FontKeys().erase(keyIt);
    DeleteObject(handle);
}

}  // namespace

HBRUSH SolidBrush(TColor color) {
    static auto* brushes = new std::map<COLORREF, HBRUSH>;
    COLORREF rgb = ColorToRGB(color);
    auto it = brushes->find(rgb);
    if (it != brushes->end()) return it->second;
    HBRUSH brush = CreateSolidBrush(rgb);
    (*brushes)[rgb] = brush;
    return brush;
}

// ---- TFont

TFont::TFont() : color_(clWindowText), height_(-11), name_("Tahoma") {}

TFont::~TFont() { ReleaseHandle(); }

void TFont::ReleaseHandle() const {
    if (!handle_) return;
    ReleaseFont(handle_);
    handle_ = nullptr;
}

void TFont::Changed() {
    ReleaseHandle();
    if (OnChange) OnChange();
}

void TFont::SetColor(TColor value) {
    if (color_ == value) return;
    color_ = value;
    if (OnChange) OnChange();
}

void TFont::SetHeight(int value) {
    if (height_ == value) return;
    height_ = value;
    Changed();
}

int TFont::Size() const { return -MulDiv(height_, 72, 96); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, 96, 72)); }

void TFont::SetName(const std::string& value) {
    if (name_ == value) return;
    name_ = value;
    Changed();
}

void TFont::SetStyle(TFontStyles value) {
    if (style_ == value) return;
    style_ = value;
    Changed();
}

void TFont::SetCharset(int value) {
    if (charset_ == value) return;
    charset_ = value;
    Changed();
}

void TFont::Assign(const TFont& source) {
    if (SameAs(source)) return;
    color_ = source.color_;
    height_ = source.height_;
    name_ = source.name_;
    style_ = source.style_;
    charset_ = source.charset_;
    Changed();
}

void TFont::AssignLogFont(const LOGFONTW& font) {
    height_ = font.lfHeight;
    int length = 0;
    while (length < LF_FACESIZE && font.lfFaceName[length]) ++length;
    name_ = FromWide(font.lfFaceName, length);
    style_ = 0;
    if (font.lfWeight >= FW_BOLD) style_ |= fsBold;
    if (font.lfItalic) style_ |= fsItalic;
    if (font.lfUnderline) style_ |= fsUnderline;
    if (font.lfStrikeOut) style_ |= fsStrikeOut;
    charset_ = font.lfCharSet;
    Changed();
}

bool TFont::SameAs(const TFont& other) const {
    return color_ == other.color_ && height_ == other.height_ && name_ == other.name_ && style_ == other.style_ &&
           charset_ == other.charset_;
}

HFONT TFont::Handle() const {
    if (!handle_) handle_ = AcquireFont(FontKey{height_, name_, style_, charset_});
    return handle_;
}

// ---- TPen

TPen::~TPen() {
    if (handle_) DeleteObject(handle_);
}

void TPen::Changed() {
    if (handle_) {
        DeleteObject(handle_);
        handle_ = nullptr;
    }
    if (OnChange) OnChange();
}

void TPen::SetColor(TColor value) {
    if (color_ == value) return;
    color_ = value;
    Changed();
}

void TPen::SetWidth(int value) {
    if (width_ == value) return;
    width_ = value;
    Changed();
}

void TPen::SetStyle(TPenStyle value) {
    if (style_ == value) return;
    style_ = value;
    Changed();
}

void TPen::Assign(const TPen& source) {
    color_ = source.color_;
    width_ = source.width_;
    style_ = source.style_;
    Changed();
}

HPEN TPen::Handle() const {
    if (!handle_) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        handle_ = CreatePen(styles[style_], width_, ColorToRGB(color_));
    }
    return handle_;
}

// ---- TBrush

void TBrush::SetColor(TColor value) {
    if (color_ == value) return;
    color_ = value;
    if (OnChange) OnChange();
}

void TBrush::SetStyle(TBrushStyle value) {
    if (style_ == value) return;
    style_ = value;
    if (OnChange) OnChange();
}

void TBrush::Assign(const TBrush& source) {
    color_ = source.color_;
    style_ = source.style_;
    if (OnChange) OnChange();
}

HBRUSH TBrush::Handle() const {
    return style_ == bsClear ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)) : SolidBrush(color_);
}

// ---- TCanvas

TCanvas::TCanvas() {
    // A canvas draws in black on white with the default font until told otherwise.
    font_.SetColor(clBlack);
}

TCanvas::~TCanvas() { Deselect(); }

HDC TCanvas::Handle() {
    if (!dc_) CreateHandle();
    return dc_;
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == dc_) return;
    Deselect();
    dc_ = dc;
}

void TCanvas::Deselect() {
    if (!dc_) return;
    if (oldPen_) SelectObject(dc_, oldPen_);
    if (oldBrush_) SelectObject(dc_, oldBrush_);
    if (oldFont_) SelectObject(dc_, oldFont_);
    oldPen_ = oldBrush_ = oldFont_ = nullptr;
}

void TCanvas::Prepare(bool pen, bool brush, bool font) {
    HDC dc = Handle();
    if (!dc) return;
    if (pen) {
        HGDIOBJ old = SelectObject(dc, pen_.Handle());
        if (!oldPen_) oldPen_ = old;
    }
    if (brush) {
        HGDIOBJ old = SelectObject(dc, brush_.Handle());
        if (!oldBrush_) oldBrush_ = old;
    }
    if (font) {
        HGDIOBJ old = SelectObject(dc, font_.Handle());
        if (!oldFont_) oldFont_ = old;
        SetTextColor(dc, ColorToRGB(font_.Color()));
        if (brush_.Style() == bsClear) {
            SetBkMode(dc, TRANSPARENT);
        } else {
            SetBkMode(dc, OPAQUE);
            SetBkColor(dc, ColorToRGB(brush_.Color()));
        }
    }
}

void TCanvas::MoveTo(int x, int y) {
    if (HDC dc = Handle()) MoveToEx(dc, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    Prepare(true, false, false);
    if (dc_) ::LineTo(dc_, x, y);
}

void TCanvas::Polyline(const POINT* points, int count) {
    Prepare(true, false, false);
    if (dc_) ::Polyline(dc_, points, count);
}

void TCanvas::Rectangle(const RECT& rect) {
    Prepare(true, true, false);
    if (dc_) ::Rectangle(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void TCanvas::Ellipse(const RECT& rect) {
    Prepare(true, true, false);
    if (dc_) ::Ellipse(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void TCanvas::FillRect(const RECT& rect) {
    if (brush_.Style() == bsClear) return;
    if (HDC dc = Handle()) ::FillRect(dc, &rect, brush_.Handle());
}

void TCanvas::FrameRect(const RECT& rect) {
    if (brush_.Style() == bsClear) return;
    if (HDC dc = Handle()) ::FrameRect(dc, &rect, brush_.Handle());
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    Prepare(false, false, true);
    if (!dc_) return;
    WideText wide(text);
    ExtTextOutW(dc_, x, y, 0, nullptr, wide, static_cast<UINT>(wide.size()), nullptr);
    MoveToEx(dc_, x + TextWidth(text), y, nullptr);
}

void TCanvas::TextRect(const RECT& rect, int x, int y, const std::string& text) {
    Prepare(false, false, true);
    if (!dc_) return;
    WideText wide(text);
    UINT options = ETO_CLIPPED | (brush_.Style() == bsClear ? 0 : ETO_OPAQUE);
    ExtTextOutW(dc_, x, y, options, &rect, wide, static_cast<UINT>(wide.size()), nullptr);
}

namespace {

struct Replay {
    HDC dc;
    int dx, dy;  // where the recorded layout's origin goes
};

// Replays the lines a metafile recorded from DrawText, each glyph at the
// advance the measurement gave it, and the underlines of prefixed letters.
int CALLBACK ReplayTextRecord(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM param) {
    const Replay& to = *reinterpret_cast<const Replay*>(param);
    const auto* base = reinterpret_cast<const BYTE*>(record);
    switch (record->iType) {
        case EMR_EXTTEXTOUTW: {
            const EMRTEXT& t = reinterpret_cast<const EMREXTTEXTOUTW*>(record)->emrtext;
            const auto* chars = reinterpret_cast<const WCHAR*>(base + t.offString);
            const auto* dx = t.offDx ? reinterpret_cast<const INT*>(base + t.offDx) : nullptr;
            const RECT clip{t.rcl.left + to.dx, t.rcl.top + to.dy, t.rcl.right + to.dx, t.rcl.bottom + to.dy};
            ExtTextOutW(to.dc, t.ptlReference.x + to.dx, t.ptlReference.y + to.dy, t.fOptions & ETO_CLIPPED, &clip,
                        chars, static_cast<UINT>(t.nChars), dx);
            break;
        }
        case EMR_MOVETOEX: {
            const POINTL& p = reinterpret_cast<const EMRMOVETOEX*>(record)->ptl;
            MoveToEx(to.dc, p.x + to.dx, p.y + to.dy, nullptr);
            break;
        }
        case EMR_LINETO: {
            const POINTL& p = reinterpret_cast<const EMRLINETO*>(record)->ptl;
            HPEN pen = CreatePen(PS_SOLID, 1, GetTextColor(to.dc));
            HGDIOBJ old = SelectObject(to.dc, pen);
            LineTo(to.dc, p.x + to.dx, p.y + to.dy);
            SelectObject(to.dc, old);
            DeleteObject(pen);
            break;
        }
        default:
            break;
    }
    return 1;
}

// Layouts DrawText recorded, by what decides them: the font, the spacing,
// the format, the size of the rectangle and the text. Under Wine every new
// metafile asks the display for its metrics, a dozen round trips to the
// window server, and windows draw the same texts over and over.
struct RecordedText {
    HENHMETAFILE picture;
    int height;
};

std::string TextFontKey(HDC dc, UINT format, int height) {
    LOGFONTW font{};
    GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(font), &font);
    const int numbers[] = {GetTextCharacterExtra(dc), height, static_cast<int>(format)};
    std::string key(reinterpret_cast<const char*>(&font), sizeof(font));
    key.append(reinterpret_cast<const char*>(numbers), sizeof(numbers));
    return key;
}

class TextLayouts {
public:
    // The font key (TextFontKey) with the width and the text.
    static std::string Key(std::string key, const WCHAR* text, int length, int width) {
        key.append(reinterpret_cast<const char*>(&width), sizeof(width));
        key.append(reinterpret_cast<const char*>(text), sizeof(WCHAR) * static_cast<size_t>(length));
        return key;
    }
    const RecordedText* Find(const std::string& key) const {
        const auto found = layouts_.find(key);
        return found == layouts_.end() ? nullptr : &found->second;
    }
    const RecordedText& Add(std::string key, RecordedText layout) {
        // Enough for the texts of every window on screen (texts that change
        // all the time are plain lines, drawn without a recording); a full
        // table starts again, so that the metafiles never crowd the
        // process's drawing objects.
        if (layouts_.size() >= 1024) {
            for (auto& entry : layouts_) DeleteEnhMetaFile(entry.second.picture);
            layouts_.clear();
        }
        return layouts_.emplace(std::move(key), layout).first->second;
    }
    // Whether plain lines of this font, format and height are drawn as
    // DrawText draws them; unknown until a recording has shown it.
    const bool* PlainLinesAgree(const std::string& fontKey) const {
        const auto found = plainLines_.find(fontKey);
        return found == plainLines_.end() ? nullptr : &found->second;
    }
    void SetPlainLinesAgree(std::string fontKey, bool agree) { plainLines_[std::move(fontKey)] = agree; }

private:
    std::unordered_map<std::string, RecordedText> layouts_;
    std::unordered_map<std::string, bool> plainLines_;
};

TextLayouts& Layouts() {
    static auto* layouts = new TextLayouts;  // lives as long as the program
    return *layouts;
}

// One line of text as DrawText places it: a single line without tabs,
// prefixes or other control characters, which an ellipsis would not
// shorten. It goes as one ExtTextOut with the measured advances, clipped to
// the rectangle (unless DT_NOCLIP), to where its measured width and the
// font's height put it. Texts that change all the time (a gauge's percent)
// are drawn so without a recording each.
struct PlainLine {
    int x = 0, y = 0, height = 0;
    UINT options = 0;
    std::vector<INT> advances;
};

bool LayPlainLine(HDC dc, const WCHAR* text, int length, const RECT& rect, UINT format, PlainLine& line) {
    if (!(format & DT_SINGLELINE) || (format & (DT_CALCRECT | DT_MODIFYSTRING | DT_RTLREADING | DT_PREFIXONLY)) ||
        length <= 0)
        return false;
    for (int i = 0; i < length; ++i)
        if (text[i] < 0x20 || (text[i] == '&' && !(format & DT_NOPREFIX))) return false;
    std::vector<INT> ends(static_cast<size_t>(length));
    SIZE size{};
    TEXTMETRICW metrics{};
    if (!GetTextExtentExPointW(dc, text, length, 0, nullptr, ends.data(), &size) || !GetTextMetricsW(dc, &metrics))
        return false;
    if ((format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) && size.cx > rect.right - rect.left)
        return false;
    line.x = (format & DT_CENTER) ? (rect.left + rect.right - size.cx) / 2
             : (format & DT_RIGHT) ? rect.right - size.cx
                                   : rect.left;
    line.y = (format & DT_VCENTER) ? rect.top + (rect.bottom - rect.top) / 2 - size.cy / 2
             : (format & DT_BOTTOM) ? rect.bottom - size.cy
                                    : rect.top;
    line.height = line.y - rect.top + metrics.tmHeight;
    line.options = (format & DT_NOCLIP) ? 0 : ETO_CLIPPED;
    line.advances.resize(ends.size());
    for (size_t i = 0; i < ends.size(); ++i) line.advances[i] = ends[i] - (i ? ends[i - 1] : 0);
    return true;
}

// What a recording holds when it is one plain line.
struct RecordedLine {
    int texts = 0, others = 0;
    PlainLine line;
    RECT clip{};
    std::u16string chars;
};

int CALLBACK ReadRecordedLine(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM param) {
    auto& read = *reinterpret_cast<RecordedLine*>(param);
    if (record->iType == EMR_MOVETOEX || record->iType == EMR_LINETO) ++read.others;
    if (record->iType != EMR_EXTTEXTOUTW) return 1;
    ++read.texts;
    const auto* base = reinterpret_cast<const BYTE*>(record);
    const EMRTEXT& t = reinterpret_cast<const EMREXTTEXTOUTW*>(record)->emrtext;
    read.line.x = t.ptlReference.x;
    read.line.y = t.ptlReference.y;
    read.line.options = t.fOptions & ETO_CLIPPED;
    read.clip = RECT{t.rcl.left, t.rcl.top, t.rcl.right, t.rcl.bottom};
    read.chars.assign(reinterpret_cast<const char16_t*>(base + t.offString), t.nChars);
    const auto* dx = t.offDx ? reinterpret_cast<const INT*>(base + t.offDx) : nullptr;
    read.line.advances.assign(dx, dx ? dx + t.nChars : dx);
    return 1;
}

bool SameLine(HENHMETAFILE picture, int recordedHeight, const WCHAR* text, int length, const RECT& rect,
              const PlainLine& line) {
    RecordedLine read;
    EnumEnhMetaFile(nullptr, picture, ReadRecordedLine, &read, nullptr);
    const bool clipped = line.options & ETO_CLIPPED;
    return read.texts == 1 && read.others == 0 && recordedHeight == line.height && read.line.x == line.x &&
           read.line.y == line.y && read.line.options == line.options && read.line.advances == line.advances &&
           read.chars == std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<size_t>(length)) &&
           (!clipped || EqualRect(&read.clip, &rect));
}

}  // namespace

int TCanvas::DrawText(const std::string& text, RECT& rect, UINT format) {
    Prepare(false, false, true);
    if (!dc_) return 0;
    WideText wide(text);
    const int length = static_cast<int>(wide.size());
    if (format & DT_CALCRECT) return DrawTextW(dc_, wide, length, &rect, format);
    // The system draws a line's glyphs a little wider apart than it measures
    // them (two or three pixels over a line of 40 letters), so text measured
    // to fit a window lost its last letters at the window's edge. DrawText
    // lays the text out into a metafile, which keeps every glyph's measured
    // advance; the lines are drawn here with those advances. The layout is
    // made at the origin and kept, and drawn where the rectangle is.
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    std::string fontKey = TextFontKey(dc_, format, height);
    const bool* plainAgrees = Layouts().PlainLinesAgree(fontKey);
    PlainLine line;
    const RECT origin{0, 0, width, height};
    const bool plain = LayPlainLine(dc_, wide, length, origin, format, line);
    if (plain && plainAgrees && *plainAgrees) {
        ExtTextOutW(dc_, rect.left + line.x, rect.top + line.y, line.options, &rect, wide, static_cast<UINT>(length),
                    line.advances.data());
        return line.height;
    }
    std::string key = TextLayouts::Key(fontKey, wide, length, width);
    const RecordedText* layout = Layouts().Find(key);
    if (!layout) {
        HDC recorder = CreateEnhMetaFileW(dc_, nullptr, nullptr, nullptr);
        if (!recorder) return DrawTextW(dc_, wide, length, &rect, format);
        SelectObject(recorder, GetCurrentObject(dc_, OBJ_FONT));
        SetTextCharacterExtra(recorder, GetTextCharacterExtra(dc_));
        RECT at = origin;
        const int textHeight = DrawTextW(recorder, wide, length, &at, format);
        HENHMETAFILE picture = CloseEnhMetaFile(recorder);
        if (!picture) return DrawTextW(dc_, wide, length, &rect, format);
        layout = &Layouts().Add(std::move(key), RecordedText{picture, textHeight});
        if (plain && !plainAgrees)
            Layouts().SetPlainLinesAgree(std::move(fontKey),
                                         SameLine(picture, textHeight, wide, length, origin, line));
    }
    POINT pen{};
    GetCurrentPositionEx(dc_, &pen);
    Replay to{dc_, rect.left, rect.top};
    EnumEnhMetaFile(nullptr, layout->picture, ReplayTextRecord, &to, nullptr);
    MoveToEx(dc_, pen.x, pen.y, nullptr);
    return layout->height;
}

SIZE TCanvas::TextExtent(const std::string& text) {
    SIZE size{0, 0};
    Prepare(false, false, true);
    if (!dc_) return size;
    WideText wide(text);
    GetTextExtentPoint32W(dc_, wide, static_cast<int>(wide.size()), &size);
    return size;
}

void TCanvas::CopyRect(const RECT& dest, TCanvas* source, const RECT& sourceRect) {
    HDC dc = Handle();
    HDC from = source ? source->Handle() : nullptr;
    if (!dc || !from) return;
    int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
    int sw = sourceRect.right - sourceRect.left, sh = sourceRect.bottom - sourceRect.top;
    if (dw == sw && dh == sh) {
        BitBlt(dc, dest.left, dest.top, dw, dh, from, sourceRect.left, sourceRect.top, copyMode_);
    } else {
        int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, dest.left, dest.top, dw, dh, from, sourceRect.left, sourceRect.top, sw, sh, copyMode_);
        SetStretchBltMode(dc, oldMode);
    }
}

void TCanvas::Draw(int x, int y, TBitmap* bitmap) {
    if (!bitmap || bitmap->Empty()) return;
    CopyRect(RECT{x, y, x + bitmap->Width(), y + bitmap->Height()}, bitmap->Canvas(),
             RECT{0, 0, bitmap->Width(), bitmap->Height()});
}

void TCanvas::StretchDraw(const RECT& dest, TBitmap* bitmap) {
    if (!bitmap || bitmap->Empty()) return;
    CopyRect(dest, bitmap->Canvas(), RECT{0, 0, bitmap->Width(), bitmap->Height()});
}

RECT TCanvas::ClipRect() {
    RECT r{0, 0, 0, 0};
    if (HDC dc = Handle()) GetClipBox(dc, &r);
    return r;
}

void TCanvas::IntersectClip(const RECT& rect) {
    if (HDC dc = Handle()) IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
}

// ---- TBitmap

// A memory context that holds the bitmap's DIB section while the canvas lives.
class TBitmap::TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* bitmap) : bitmap_(bitmap) {}
    ~TBitmapCanvas() override { Release(); }

    // Lets the section go (before it is replaced); the context is made again when needed.
    void Release() {
        HDC dc = HandleAllocated() ? Handle() : nullptr;
        SetHandle(nullptr);
        if (dc) {
            SelectObject(dc, oldBitmap_);
            DeleteDC(dc);
        }
        oldBitmap_ = nullptr;
    }

protected:
    void CreateHandle() override {
        if (!bitmap_->handle_) return;
        HDC dc = CreateCompatibleDC(nullptr);
        oldBitmap_ = SelectObject(dc, bitmap_->handle_);
        SetHandle(dc);
    }

private:
    TBitmap* bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
};

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format) : format_(format) { SetSize(width, height); }

TBitmap::~TBitmap() {
    canvas_.reset();
    if (handle_) DeleteObject(handle_);
}

void TBitmap::Recreate(int width, int height, TPixelFormat format, bool keep) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    HBITMAP newHandle = nullptr;
    void* newBits = nullptr;
    int bytes = format == pf32bit ? 4 : 3;
    if (width > 0 && height > 0) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down: row 0 first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = static_cast<WORD>(bytes * 8);
        info.bmiHeader.biCompression = BI_RGB;
        newHandle = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &newBits, nullptr, 0);
        if (!newHandle) throw rtl::ERuntimeError("Недостаточно памяти для рисунка");
        GdiFlush();
        std::memset(newBits, 0, static_cast<size_t>(pixels::DibRowBytes(width, bytes)) * static_cast<size_t>(height));
    }
    ptrdiff_t newStep = pixels::DibRowBytes(width, bytes);
    if (keep && bits_ && newBits) {
        GdiFlush();
        int rows = std::min(height_, height), columns = std::min(width_, width);
        auto* target = static_cast<uint8_t*>(newBits);
        for (int y = 0; y < rows; ++y) {
            const uint8_t* from = bits_ + y * step_;
            uint8_t* to = target + y * newStep;
            if (bytes == BytesPerPixel()) {
                std::memcpy(to, from, static_cast<size_t>(columns * bytes));
            } else {
                for (int x = 0; x < columns; ++x)
                    std::memcpy(to + x * bytes, from + x * BytesPerPixel(), 3);
            }
        }
    }
    if (canvas_) canvas_->Release();
    if (handle_) DeleteObject(handle_);
    handle_ = newHandle;
    bits_ = static_cast<uint8_t*>(newBits);
    width_ = newHandle ? width : 0;
    height_ = newHandle ? height : 0;
    step_ = newHandle ? newStep : 0;
    format_ = format;
}

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_ && (bits_ || width <= 0 || height <= 0)) return;
    Recreate(width, height, format_, true);
}

void TBitmap::SetPixelFormat(TPixelFormat value) {
    if (value == format_) return;
    if (bits_) Recreate(width_, height_, value, true);
    else format_ = value;
}

uint8_t* TBitmap::ScanLine(int y) {
    if (!bits_ || y < 0 || y >= height_) return nullptr;
    GdiFlush();
    return bits_ + y * step_;
}

pixels::TPixels TBitmap::Pixels() {
    pixels::TPixels view;
    if (!bits_) return view;
    GdiFlush();
    view.Row0 = bits_;
    view.Step = step_;
    view.Width = width_;
    view.Height = height_;
    view.BytesPerPixel = BytesPerPixel();
    return view;
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(this);
    return canvas_.get();
}

void TBitmap::Assign(const TBitmap& source) {
    if (&source == this) return;
    Recreate(source.width_, source.height_, source.format_, false);
    if (bits_ && source.bits_) {
        GdiFlush();
        std::memcpy(bits_, source.bits_, static_cast<size_t>(step_) * static_cast<size_t>(height_));
    }
}

void TBitmap::Assign(const pixels::TPixels& source) {
    if (source.Empty()) {
        Recreate(0, 0, format_, false);
        return;
    }
    Recreate(source.Width, source.Height, source.BytesPerPixel == 4 ? pf32bit : pf24bit, false);
    size_t rowBytes = static_cast<size_t>(source.Width * source.BytesPerPixel);
    for (int y = 0; y < height_; ++y) std::memcpy(bits_ + y * step_, source.ScanLine(y), rowBytes);
}

// ---- TIcon

TIcon::~TIcon() {
    if (handle_) DestroyIcon(handle_);
}

void TIcon::SetHandle(HICON icon) {
    if (icon == handle_) return;
    if (handle_) DestroyIcon(handle_);
    handle_ = icon;
    if (OnChange) OnChange();
}

HICON TIcon::ReleaseHandle() {
    HICON icon = handle_;
    handle_ = nullptr;
    return icon;
}

static SIZE IconSize(HICON icon) {
    SIZE size{0, 0};
    ICONINFO info;
    if (!icon || !GetIconInfo(icon, &info)) return size;
    BITMAP bitmap;
    if (GetObjectW(info.hbmMask, sizeof(bitmap), &bitmap)) {
        size.cx = bitmap.bmWidth;
        // A monochrome icon keeps its AND and XOR masks one above the other.
        size.cy = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
    }
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return size;
}

int TIcon::Width() const { return IconSize(handle_).cx; }

int TIcon::Height() const { return IconSize(handle_).cy; }

void TIcon::Assign(const TIcon& source) {
    if (&source == this) return;
    SetHandle(source.handle_ ? CopyIcon(source.handle_) : nullptr);
}

void TIcon::Draw(TCanvas* canvas, int x, int y) {
    if (handle_ && canvas && canvas->Handle()) DrawIconEx(canvas->Handle(), x, y, handle_, 0, 0, 0, nullptr, DI_NORMAL);
}

}  // namespace vcl
