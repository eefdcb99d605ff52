#include "skin/core/glyphlayout.h"

namespace skin {

TGlyphLayout CalcGlyphLayout(const TRect& client, TPoint glyph, TPoint text, TButtonLayout layout, int margin,
                             int spacing, int alignment, int biDiMode) {
    if (biDiMode & 2) {
        if (layout == blGlyphLeft)
            layout = blGlyphRight;
        else if (layout == blGlyphRight)
            layout = blGlyphLeft;
        if (alignment == 0)
            alignment = 1;
        else if (alignment == 1)
            alignment = 0;
    }
    const int w = client.Width(), h = client.Height();
    const bool across = layout == blGlyphLeft || layout == blGlyphRight;
    TPoint g{}, t{};
    // Across the layout's direction both items are centred (or aligned).
    if (across) {
        g.Y = (h - glyph.Y + 1) / 2;
        t.Y = (h - text.Y + 1) / 2;
    } else {
        g.X = alignment == 0 ? 0 : (alignment == 1 ? w - glyph.X : (w - glyph.X + 1) / 2);
        t.X = alignment == 0 ? 0 : (alignment == 1 ? w - text.X : (w - text.X + 1) / 2);
    }
    const int size = across ? w : h;
    const int glyphLength = across ? glyph.X : glyph.Y, textLength = across ? text.X : text.Y;
    if (glyphLength == 0 || textLength == 0) spacing = 0;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (size - glyphLength - textLength) / 3;
            spacing = margin;
        } else {
            margin = (size - glyphLength - spacing - textLength + 1) / 2;
        }
        // A centred block may sit at the side its alignment names.
        const int block = glyphLength + spacing + textLength;
        if (across && alignment == 0) margin = layout == blGlyphLeft ? 0 : size - block;
        if (across && alignment == 1) margin = layout == blGlyphLeft ? size - block : 0;
    } else if (spacing == -1) {
        spacing = (size - margin - glyphLength - textLength) / 2;
    }
    switch (layout) {
        case blGlyphLeft:
            g.X = margin;
            t.X = g.X + glyph.X + spacing;
            break;
        case blGlyphRight:
            g.X = w - margin - glyph.X;
            t.X = g.X - spacing - text.X;
            break;
        case blGlyphTop:
            g.Y = margin;
            t.Y = g.Y + glyph.Y + spacing;
            break;
        case blGlyphBottom:
            g.Y = h - margin - glyph.Y;
            t.Y = g.Y - spacing - text.Y;
            break;
    }
    TGlyphLayout out;
    out.GlyphPos = TPoint{client.Left + g.X, client.Top + g.Y};
    out.TextBounds = TRect{client.Left + t.X, client.Top + t.Y, client.Left + t.X + text.X, client.Top + t.Y + text.Y};
    return out;
}

}  // namespace skin
