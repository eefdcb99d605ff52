#include "skin/core/sectionpaint.h"

#include <algorithm>

#include "skin/core/blend.h"
#include "skin/core/gradient.h"
#include "skin/core/maskpaint.h"
#include "skin/core/pixelcopy.h"
#include "skin/core/texture.h"

namespace skin {

namespace {

TRect Bounds(const TPixels& p) { return TRect{0, 0, p.Width, p.Height}; }

// The values of one set (normal or hot), ready to paint.
struct TValues {
    TColor Base = 0;
    int T = 0;   // transparency, 0..100
    int GP = 0;  // gradient share
    int IP = 0;  // texture share
    const TsGradArray* Gradient = nullptr;
    int Mask = -1;     // texture mask
    int Pattern = -1;  // texture of its own (a large picture)
};

class TBackgroundPainter {
public:
    TBackgroundPainter(const TsSkinContent& skin, const TSectionBackground& a, bool maskVariant, bool hot)
        : skin_(skin), a_(a), variant_(maskVariant), hot_(hot) {}

    void Paint(const TPixels& bmp) {
        const TRect rect = a_.Rect;
        if (bmp.Empty() || rect.IsEmpty() || !skin_.IsValidSkinIndex(a_.SectionIndex)) return;
        Choose();
        TParentCacheInfo pc = a_.ParentCache;
        pc.X += a_.Offset.X;
        pc.Y += a_.Offset.Y;
        const bool ready = pc.Ready && !pc.Bmp.Empty();
        const bool intoParent = ready && pc.Bmp.Row0 == bmp.Row0;
        // What lies behind: the parent's plain colour when it gave one, else its picture.
        auto behind = [&](TRect r) {
            if (intoParent) return;
            if (!variant_ && a_.ReplyBgColor != clFuchsia)
                FillRect(bmp, r, ToRGB(a_.ReplyBgColor));
            else
                CopyRect(bmp, r.Left, r.Top, pc.Bmp, TRect{pc.X, pc.Y, pc.X + r.Width(), pc.Y + r.Height()});
        };

        if (!ready || v_.T == 0) {
            Opaque(bmp, rect, pc);
        } else if (v_.T >= 100) {
            behind(rect);
        } else {
            // The temporary picture holds only what the target shows of the
            // rectangle, however large the rectangle is.
            const TRect shown = IntersectRect(rect, Bounds(bmp));
            if (shown.IsEmpty()) return;
            const int w = shown.Width(), h = shown.Height();
            TPixelBitmap own(w, h);
            TParentCacheInfo shifted = pc;  // the temporary picture starts at the shown part's corner
            shifted.X += shown.Left;
            shifted.Y += shown.Top;
            Opaque(own.Pixels(), OffsetRect(rect, -shown.Left, -shown.Top), shifted);
            behind(rect);
            BlendBitmapRect(bmp, own.Pixels(), std::clamp(v_.T * 255 / 100, 0, 255), TPoint{shown.Left, shown.Top},
                            TRect{0, 0, w, h});
        }

        if (variant_) return;
        // A masked texture in the tiling that shows what lies behind goes over everything.
        const int overlay = a_.State == 0 ? a_.TextureIndex : a_.HotTextureIndex;
        if (overlay != -1 && skin_.IsValidMaskIndex(overlay)) {
            const TsMaskData& m = skin_.Masks[static_cast<size_t>(overlay)];
            if (m.MaskType >= 1 && m.DrawMode == 10) {
                TRect r = rect;
                PlaceMaskedTexture(bmp, r, pc, 10, m, ToRGB(a_.ParentColor));
            }
        }
    }

private:
    TColor ToRGB(TColor c) const { return c == clFuchsia || !a_.ColorToRGB ? c : a_.ColorToRGB(c); }

    void Choose() {
        const TsGeneralData& gd = skin_.Sections[static_cast<size_t>(a_.SectionIndex)];
        const bool hot = variant_ ? hot_ : a_.State != 0;
        if (a_.CustomColor != clFuchsia) {
            v_.Base = ToRGB(a_.CustomColor);
            return;
        }
        v_.Base = ToRGB(hot ? gd.HotColor : gd.Color);
        v_.T = std::clamp(hot ? gd.HotTransparency : gd.Transparency, 0, 100);
        v_.GP = std::max(hot ? gd.HotGradientPercent : gd.GradientPercent, 0);
        v_.IP = std::max(hot ? gd.HotImagePercent : gd.ImagePercent, 0);
        v_.Gradient = hot ? &gd.HotGradientArray : &gd.GradientArray;
        if (v_.IP <= 0) return;
        int mask = hot ? a_.HotTextureIndex : a_.TextureIndex;
        if (variant_) {
            v_.Mask = skin_.IsValidMaskIndex(mask) ? mask : -1;
        } else {
            const char* property = hot ? "HOTPATTERN" : "PATTERN";
            const std::string& name = a_.SectionName.empty() ? gd.SectionName : a_.SectionName;
            if (mask == -1) mask = skin_.GetMaskIndex(a_.SectionIndex, name, property);
            if (skin_.IsValidMaskIndex(mask)) {
                v_.Mask = mask;
            } else {
                const int p = skin_.GetPatternIndex(a_.SectionIndex, name, property);
                if (skin_.IsValidPatternIndex(p) && skin_.Patterns[static_cast<size_t>(p)].Image) v_.Pattern = p;
            }
        }
        // Without a texture its share goes to the gradient and the colour.
        if (v_.Mask < 0 && v_.Pattern < 0) v_.IP = 0;
    }

    void Opaque(const TPixels& target, TRect r, const TParentCacheInfo& pc) const {
        bool textured = false;
        if (v_.IP > 0) {
            textured = true;
            if (v_.Pattern >= 0) {
                TileGraphic(target, r, skin_.Patterns[static_cast<size_t>(v_.Pattern)].Image->Pixels());
            } else {
                const TsMaskData& m = skin_.Masks[static_cast<size_t>(v_.Mask)];
                TRect left = r;
                if (m.MaskType >= 1)
                    PlaceMaskedTexture(target, left, pc, m.DrawMode, m, ToRGB(a_.ParentColor));
                else
                    PlaceTexture(target, left, m.DrawMode, m);
                if (!(left == kNoRect)) FillRect(target, left, v_.Base);
            }
        }
        const bool gradient = v_.Gradient && !v_.Gradient->empty();
        if (v_.GP > 0) {
            if (textured) {
                // Only the part of the rectangle that the target shows.
                const TRect shown = IntersectRect(r, Bounds(target));
                const int w = shown.Width(), h = shown.Height();
                if (w <= 0 || h <= 0) return;
                TPixelBitmap g(w, h);
                if (gradient)
                    PaintGradient(g.Pixels(), TRect{0, 0, w, h}, *v_.Gradient);
                else
                    FillRect(g.Pixels(), TRect{0, 0, w, h}, v_.Base);
                const int a = variant_ ? std::min(v_.IP * 256 / 100, 255) : std::clamp(v_.IP * 255 / 100, 0, 255);
                // The whole width: a column left unblended would show as a line at the right edge.
                BlendBitmapRect(target, g.Pixels(), a, TPoint{shown.Left, shown.Top}, TRect{0, 0, w, h});
            } else if (gradient) {
                PaintGradient(target, r, *v_.Gradient);
            } else {
                FillRect(target, r, v_.Base);
            }
        }
        const int share = v_.IP + v_.GP;
        if (share == 0) {
            // Only a fully transparent section shows the parent's plain colour;
            // a semi-transparent one keeps its own, which is blended afterwards.
            const bool parentColour = !variant_ && a_.ReplyBgColor != clFuchsia && v_.T >= 100;
            FillRect(target, r, parentColour ? ToRGB(a_.ReplyBgColor) : v_.Base);
        } else if (share < 100) {
            BlendRectWithColor(target, r, share, v_.Base);
        }
    }

    const TsSkinContent& skin_;
    const TSectionBackground& a_;
    bool variant_;
    bool hot_;
    TValues v_;
};

}  // namespace

void PaintSectionBackground(const TsSkinContent& skin, const TPixels& bmp, const TSectionBackground& args) {
    TBackgroundPainter(skin, args, false, false).Paint(bmp);
}

void PaintSectionWithMask(const TsSkinContent& skin, const TPixels& bmp, const TSectionBackground& args, bool hot,
                          int maskIndex) {
    TBackgroundPainter(skin, args, true, hot).Paint(bmp);
    if (!skin.IsValidMaskIndex(maskIndex) || bmp.Empty()) return;
    TParentCacheInfo pc = args.ParentCache;
    pc.X += args.Offset.X;
    pc.Y += args.Offset.Y;
    DrawSkinRect(bmp, args.Rect, true, pc, skin.Masks[static_cast<size_t>(maskIndex)], args.State, pc.Ready);
}

void PaintSectionCorners(const TsSkinContent& skin, const TPixels& bmp, int sectionIndex, TRect r, int state,
                         const TParentCacheInfo& parentCache) {
    if (!skin.IsValidSkinIndex(sectionIndex) || bmp.Empty()) return;
    const std::string& name = skin.Sections[static_cast<size_t>(sectionIndex)].SectionName;
    auto corner = [&](const char* property, bool right, bool bottom) {
        const int i = skin.GetMaskIndex(sectionIndex, name, property);
        if (!skin.IsValidMaskIndex(i)) return;
        const TsMaskData& m = skin.Masks[static_cast<size_t>(i)];
        const TPoint p{right ? r.Right - m.FrameWidth() : r.Left, bottom ? r.Bottom - m.FrameHeight() : r.Top};
        DrawSkinGlyph(bmp, p, state, m, 1, parentCache);
    };
    corner("IMGTOPLEFT", false, false);
    corner("IMGTOPRIGHT", true, false);
    corner("IMGBTMLEFT", false, true);
    corner("IMGBTMRIGHT", true, true);
}

void PaintSectionItem(const TsSkinContent& skin, const TPixels& bmp, const TSectionBackground& args) {
    const TRect r = args.Rect;
    if (r.IsEmpty() || r.Left < 0 || r.Top < 0 || r.Right > bmp.Width || r.Bottom > bmp.Height) return;
    if (!skin.IsValidSkinIndex(args.SectionIndex)) return;
    PaintSectionBackground(skin, bmp, args);
    PaintSectionCorners(skin, bmp, args.SectionIndex, r, args.State, args.ParentCache);
    const std::string& name = skin.Sections[static_cast<size_t>(args.SectionIndex)].SectionName;
    const int border = skin.GetMaskIndex(args.SectionIndex, name, "BORDERSMASK");
    if (skin.IsValidMaskIndex(border))
        DrawSkinRect(bmp, r, true, args.ParentCache, skin.Masks[static_cast<size_t>(border)], args.State, false);
}

std::vector<TTextPass> SkinTextPasses(const TsSkinContent& skin, int sectionIndex, bool hot, bool enabled,
                                      const std::function<TColor(TColor)>& colorToRGB) {
    std::vector<TTextPass> passes;
    if (!skin.IsValidSkinIndex(sectionIndex)) return passes;
    auto rgb = [&colorToRGB](TColor c) { return colorToRGB ? colorToRGB(c) : c; };
    const TsGeneralData& gd = skin.Sections[static_cast<size_t>(sectionIndex)];
    if (!enabled) {
        passes.push_back(TTextPass{0, 0, BlendColors(rgb(gd.FontColor[0]), rgb(gd.Color), 0.4)});
        return passes;
    }
    const auto& colors = hot ? gd.HotFontColor : gd.FontColor;
    static const TPoint kContour[] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
    for (int i = 0; i < 4; ++i)
        if (colors[static_cast<size_t>(i + 1)] != -1)
            passes.push_back(TTextPass{kContour[i].X, kContour[i].Y, rgb(colors[static_cast<size_t>(i + 1)])});
    passes.push_back(TTextPass{0, 0, rgb(colors[0])});
    return passes;
}

}  // namespace skin
