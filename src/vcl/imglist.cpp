#include "vcl/imglist.h"

namespace vcl {

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(width), height_(height),
      handle_(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 4, 4)) {}

TImageList::~TImageList() {
    if (handle_) ImageList_Destroy(handle_);
}

int TImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

int TImageList::AddMasked(TBitmap* bitmap, TColor transparent) {
    if (!handle_ || !bitmap || bitmap->Empty()) return -1;
    // The image list takes a copy; the bitmap must not be selected into a context meanwhile.
    TBitmap copy;
    copy.Assign(*bitmap);
    return ImageList_AddMasked(handle_, copy.Handle(), ColorToRGB(transparent));
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
    if (!handle_ || !canvas || index < 0 || index >= Count()) return;
    HDC dc = canvas->Handle();
    if (!dc) return;
    if (enabled) {
        ImageList_Draw(handle_, index, dc, x, y, ILD_TRANSPARENT);
        return;
    }
    IMAGELISTDRAWPARAMS params = {};
    params.cbSize = sizeof(params);
    params.himl = handle_;
    params.i = index;
    params.hdcDst = dc;
    params.x = x;
    params.y = y;
    params.rgbBk = CLR_NONE;
    params.rgbFg = CLR_DEFAULT;
    params.fStyle = ILD_TRANSPARENT;
    params.fState = ILS_SATURATE;
    ImageList_DrawIndirect(&params);
}

}  // namespace vcl
