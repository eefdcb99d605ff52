// A list of equally sized images (menu item glyphs) over a Win32 image list.
#pragma once
#include "vcl/win.h"

#include <commctrl.h>

#include "vcl/classes.h"
#include "vcl/graphics.h"

namespace vcl {

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner, int width = 16, int height = 16);
    ~TImageList() override;
    const char* ClassName() const override { return "TImageList"; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const;
    // Adds the bitmap (cut into images of the list's width); pixels of
    // `transparent` show what lies behind. Returns the first new index.
    int AddMasked(TBitmap* bitmap, TColor transparent);
    // Draws image `index` with its top left at (x, y); a disabled image is grey.
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
    HIMAGELIST Handle() const { return handle_; }

private:
    int width_, height_;
    HIMAGELIST handle_;
};

}  // namespace vcl
