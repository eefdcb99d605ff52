#include "skin/windows/layout/skinsizes.h"

namespace skin {

namespace {
constexpr int kNoMaskButtonSize = 21;
}

const TsMaskData* MaskAt(const TsSkinContent* skin, int maskIndex) {
    return skin && skin->IsValidMaskIndex(maskIndex) ? &skin->Masks[static_cast<size_t>(maskIndex)] : nullptr;
}

int TitleButtonWidth(const TsSkinContent* skin, int maskIndex) {
    const TsMaskData* m = MaskAt(skin, maskIndex);
    return m ? m->FrameWidth() : kNoMaskButtonSize;
}

int TitleButtonHeight(const TsSkinContent* skin, int maskIndex) {
    const TsMaskData* m = MaskAt(skin, maskIndex);
    if (!m) return kNoMaskButtonSize;
    return m->Image ? m->Image->Height() / 2 : m->FrameHeight();
}

TPoint ThreeStateFrame(const TsSkinContent* skin, int maskIndex) {
    const TsMaskData* m = MaskAt(skin, maskIndex);
    if (!m) return {};
    if (m->Image) return {m->Image->Width() / 3, m->Image->Height() / 2};
    return {m->FrameWidth(), m->FrameHeight()};
}

int TitleBarThird(const TsSkinContent* skin, int maskIndex) {
    const TsMaskData* m = MaskAt(skin, maskIndex);
    if (!m) return 0;
    if (m->Image) return m->Image->Width() / 9;
    return m->ImageCount > 0 ? m->SourceRect.Width() / (3 * m->ImageCount) : 0;
}

}  // namespace skin
