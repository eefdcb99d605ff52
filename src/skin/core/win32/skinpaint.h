// Section backgrounds, section items and skinned text painted for controls:
// the window-free painting fed from a control's skin data, its parent's
// cached picture and its parent's colour, and the cache copied onto a
// device context around the control's children.
#pragma once
#include "vcl/win.h"

#include <string>

#include "skin/core/parentcache.h"
#include "skin/core/sectionpaint.h"
#include "skin/core/win32/commondata.h"
#include "vcl/graphics.h"

namespace skin {

class TsSkinManager;

// A section's background into Rect of Bmp (nullptr manager: the default one).
// Texture indexes of -1 are looked up by name; CustomColor clFuchsia: none.
void PaintSectionBackground(int sectionIndex, const std::string& sectionName, const TParentCacheInfo& parentCache,
                            int state, const TRect& rect, TPoint offset, vcl::TBitmap* bmp, TsSkinManager* manager,
                            int textureIndex = -1, int hotTextureIndex = -1, TColor customColor = clFuchsia);
// The same from a control's skin data: its section, indexes and manager,
// and its own colour when it keeps it.
void PaintControlBackground(TsCommonData* data, const TParentCacheInfo& parentCache, int state, const TRect& rect,
                            TPoint offset, vcl::TBitmap* bmp);
// A control's section: its background over the parent's picture (or the
// parent's plain colour), its border and its corner images.
void PaintControlSection(TsCommonData* data, const TParentCacheInfo& parentCache, vcl::TBitmap* bmp, TPoint offset,
                         const TRect& rect, int state);
// What a section of the manager's skin is painted with: state 0 normal,
// any other hot (SectionIndex must be valid).
TSectionBackground SectionArgs(const TsSkinManager* manager, int sectionIndex, const TParentCacheInfo& parentCache,
                               int state, const TRect& rect);
// A section item painted through a picture of its own onto a device context.
void PaintSectionItemToDC(HDC dc, const TRect& rect, int sectionIndex, int state, TsSkinManager* manager,
                          const TParentCacheInfo& parentCache = TParentCacheInfo{});

// Text in the section's colours: its contours, then the text; dimmed when disabled.
void DrawSkinText(vcl::TCanvas* canvas, const std::string& text, bool enabled, TsSkinManager* manager, bool hot,
                  int sectionIndex, UINT flags, RECT rect);
// The same for a control, clipped to the rectangle.
void DrawSkinDataText(TsCommonData* data, vcl::TCanvas* canvas, const std::string& text, RECT rect, UINT flags,
                      bool hot);
void DrawDefaultSkinText(vcl::TCanvas* canvas, const std::string& text, bool enabled, bool hot, int sectionIndex,
                         UINT flags, RECT rect);
// The text shortened with "..." until it fits the width on the canvas.
std::string FitTextWithEllipsis(vcl::TCanvas* canvas, const std::string& text, int width);

// The see-through corners of the control's border in its cache get what
// lies behind: the parent's picture, or its plain colour when it has no
// picture ready or its picture is one colour. Nothing for a control
// without a parent.
void PaintControlBorder(TsCommonData* data, int state);

// The control's cache copied into Rect of the device context, with the
// children that cover it clipped out (windowless ones that do not paint
// every pixel stay, they paint over the copy). WithCorners gives the
// border's see-through corners what lies behind first.
void PaintCacheExcludeControls(HDC dc, vcl::TWinControl* control, TsCommonData* data, const TRect& rect,
                               bool withCorners = false);
// The same for a plain window: its visible child windows are clipped out,
// a group box only by its frame strips (its inside shows the copy).
void PaintCacheExcludeWindows(HDC dc, HWND window, TsCommonData* data, const TRect& rect);

}  // namespace skin
