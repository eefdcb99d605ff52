#include "skin/core/maskdata.h"

#include "skin/core/skincontent.h"

namespace skin {

TPixels TsMaskData::Picture() const {
    if (Image) return Image->Pixels();
    return Manager ? Manager->MasterPixels() : TPixels{};
}

int TsMaskData::FrameWidth() const { return ImageCount > 0 ? SourceRect.Width() / ImageCount : 0; }

int TsMaskData::FrameHeight() const { return SourceRect.Height() / ((MaskType > 0 ? MaskType : 0) + 1); }

}  // namespace skin
