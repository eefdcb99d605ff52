// The skin data that every skinned control, form provider and window
// adapter owns: which section paints it and that section's indexes in the
// manager's tables, its cached picture, its focus, hover and repaint state,
// and its answers to the skin command message. Owners create one, give it
// their kind, and pass their messages to HandleCommonMessage.
#pragma once
#include "vcl/win.h"

#include <memory>
#include <string>

#include "skin/core/maskdata.h"
#include "skin/core/parentcache.h"
#include "vcl/controls.h"
#include "vcl/forms.h"
#include "vcl/graphics.h"
#include "vcl/objectmemory.h"

namespace skin {

class TsSkinManager;

// What a form's skin provider shows the rest of the library: the form it
// skins and the manager it uses. AC_QUERYPROVIDER answers with a pointer to
// this part of the provider.
class TsProviderLink {
public:
    virtual ~TsProviderLink() = default;
    virtual vcl::TForm* ProviderForm() const = 0;
    virtual TsSkinManager* ProviderManager() const = 0;
    // The provider's copy of its title strip no longer matches the skin.
    virtual void TitleStripChanged() {}
    // Its window region, built again after the old one was removed.
    virtual void RebuildRegion() {}
};

// The section whose data changed last (upper case); AC_SECTIONCHANGED
// concerns the controls painted by it.
extern std::string ChangedSkinSection;

class TsCommonData {
public:
    NORVIX_OBJECT_MEMORY
    // The owner is a control, or a provider (a TsProviderLink).
    TsCommonData(vcl::TObject* owner, bool createCacheBmp);
    ~TsCommonData();
    TsCommonData(const TsCommonData&) = delete;
    TsCommonData& operator=(const TsCommonData&) = delete;

    bool Updating = false;          // painting waits
    int BorderMaskIndex = -1;       // the section's BORDERSMASK
    int SectionIndex = -1;          // -1: not skinned
    int TextureIndex = -1;          // PATTERN
    int HotTextureIndex = -1;       // HOTPATTERN
    vcl::TControl* PaintingChild = nullptr;  // the graphic child being painted into the owner
    bool FullPaint = false;
    bool BackgroundChanged = true;  // the cached picture must be rendered again
    bool HalfVisible = true;        // the last paint was clipped or skipped
    vcl::TControl* OwnerControl;    // the owner when it is a control
    vcl::TObject* OwnerObject;
    std::unique_ptr<vcl::TBitmap> CacheBitmap;  // 24-bit; made when asked for
    int ControlTypeCode = 0;        // the owner's kind; chooses the default section
    bool Focused = false;
    bool MouseAbove = false;

    const std::string& SkinSection() const { return skinSection_; }
    // Upper-cased; empty becomes "UNKNOWN". The owner hears of the change.
    void SetSkinSection(const std::string& value);
    bool CustomFont() const { return customFont_; }
    void SetCustomFont(bool value) { customFont_ = value; }
    bool CustomColor() const { return customColor_; }
    void SetCustomColor(bool value);
    // The manager named, else the default one, else nullptr.
    TsSkinManager* SkinManager() const;
    // The one named explicitly (nullptr: whichever manager is default).
    TsSkinManager* StoredSkinManager() const { return skinManager_; }
    void SetSkinManager(TsSkinManager* value);

    // After the owner has been built.
    void SkinDataLoaded();
    void SetDefaultSection();
    void RefreshSkinIndexes();
    // The owner has a section of a live manager (whose skin is sent, with CheckActive).
    bool HasValidSkin(bool checkActive = true) const;
    // The section's record; nullptr when not skinned.
    const TsGeneralData* Section() const;

    void SetUpdateFlag(bool value) { Updating = value; }
    void BeginSkinUpdate();
    void EndSkinUpdate();
    // The cache made when missing, 24-bit, of the owner's size.
    void InitCacheBitmap();
    void InvalidateOwner();
    // Painting must wait: no skin, an update under way, or the parent says so.
    bool IsSkinUpdating() const;
    bool IsSemiTransparent() const;
    // The owner's picture depends on what lies behind it.
    bool DependsOnParentBg() const;
    bool ParentBgVaries() const;
    // The parent's cached picture with the owner's place in it.
    void GetParentCache(TParentCacheInfo& info) const;
    static void GetParentCacheHwnd(HWND window, TParentCacheInfo& info);
    bool ControlIsActive() const;

    // The answers to SM_SKINCMD; true when the command was handled.
    bool HandleSkinCommand(vcl::TMessage& message);
    // The messages every skinned owner shares; true when it was consumed.
    bool HandleCommonMessage(vcl::TMessage& message);

private:
    bool OwnerDestroying() const;
    bool OwnerLoading() const;
    bool IsEditOwner() const;
    void ApplyEditColors();
    // Command 3 (skinned) or 2 to the owner, after its section or manager changed.
    void TellOwner();
    void SendToOwner(unsigned command, LPARAM lParam);
    void AnswerBgColor();
    bool AnswerBgVaries() const;

    std::string skinSection_;
    bool customFont_ = false;
    bool customColor_ = false;
    TsSkinManager* skinManager_ = nullptr;
};

}  // namespace skin
