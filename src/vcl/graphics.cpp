#include "vcl/graphics.h"

#include "vcl/wintext.h"

namespace vcl {

COLORREF ColorToRGB(TColor color) {
    if ((color & clSystemColor) == clSystemColor) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color) & 0xFFFFFF;
}

TFont::TFont() : color_(clWindowText), height_(-11), name_("Tahoma") {}

TFont::~TFont() {
    if (handle_) DeleteObject(handle_);
}

void TFont::Changed() {
    if (handle_) {
        DeleteObject(handle_);
        handle_ = nullptr;
    }
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

void TFont::Assign(const TFont& source) {
    if (SameAs(source)) return;
    color_ = source.color_;
    height_ = source.height_;
    name_ = source.name_;
    style_ = source.style_;
    Changed();
}

bool TFont::SameAs(const TFont& other) const {
    return color_ == other.color_ && height_ == other.height_ && name_ == other.name_ && style_ == other.style_;
}

HFONT TFont::Handle() const {
    if (!handle_) {
        LOGFONTW font = {};
        font.lfHeight = height_;
        font.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
        font.lfItalic = (style_ & fsItalic) ? 1 : 0;
        font.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
        font.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
        font.lfCharSet = DEFAULT_CHARSET;
        font.lfQuality = DEFAULT_QUALITY;
        WideText face(name_);
        size_t n = face.size() < LF_FACESIZE - 1 ? face.size() : LF_FACESIZE - 1;
        for (size_t i = 0; i < n; ++i) font.lfFaceName[i] = face.c_str()[i];
        handle_ = CreateFontIndirectW(&font);
    }
    return handle_;
}

}  // namespace vcl
