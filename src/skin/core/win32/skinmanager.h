// The component that owns the application's skin: it loads a skin from a
// skin folder, a packed file or the skins stored in it, answers lookups by
// section name for every painter, and tells every form of skin changes.
// The first manager made is the default one, which skinned controls use
// unless they name another.
#pragma once
#include "vcl/win.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "skin/core/skincontent.h"
#include "skin/core/skinlookups.h"
#include "skin/core/storedskins.h"
#include "vcl/classes.h"
#include "vcl/graphics.h"
#include "vcl/messages.h"

namespace vcl {
class TMenuItem;
}

namespace skin {

enum TacSkinningRule : unsigned { srStdForms = 1, srStdDialogs = 2, srThirdParty = 4 };
using TacSkinningRules = unsigned;

class TsSkinableMenus;

// The menus' settings the manager keeps with its form: the section of the
// icon column of popup menus, and the optional line down the left of a
// popup (its width and the font of its upward caption).
struct TacMenuSupport {
    std::string IcoLineSkin;
    bool UseExtraLine = false;
    int ExtraLineWidth = 32;
    vcl::TFont* ExtraLineFont() { return extraLineFont_.get(); }
    void SetExtraLineFont(const vcl::TFont& value) { extraLineFont_->Assign(value); }

private:
    std::unique_ptr<vcl::TFont> extraLineFont_ = std::make_unique<vcl::TFont>();
};

// Asked once for every menu shown: the section, caption, glyph (owned by
// the menus once given) and visibility of the extra line of the menu whose
// first item is FirstItem.
using TacGetExtraLineData = std::function<void(vcl::TMenuItem* FirstItem, std::string& SkinSection, std::string& Caption,
                                               vcl::TBitmap*& Glyph, bool& LineVisible)>;

class TsSkinManager : public vcl::TComponent {
public:
    explicit TsSkinManager(vcl::TComponent* owner);
    ~TsSkinManager() override;
    const char* ClassName() const override { return "TsSkinManager"; }

    bool SkinnedPopups() const { return skinnedPopups_; }
    void SetSkinnedPopups(bool value);
    TacAnimEffects& AnimEffects() { return animEffects_; }
    // Whether this is the default manager; a manager cannot give the role away.
    bool IsDefault() const;
    void SetIsDefault(bool value);
    // The user's switch: on loads the skin named and sends it, off removes it.
    bool Active() const { return active_; }
    void SetActive(bool value);
    const std::vector<std::string>& CommonSections() const { return commonSections_; }
    void SetCommonSections(const std::vector<std::string>& lines);
    int Saturation() const { return saturation_; }
    void SetSaturation(int value);
    int HueOffset() const { return hueOffset_; }
    void SetHueOffset(int value);
    TsStoredSkins& InternalSkins() { return internalSkins_; }
    TacMenuSupport& MenuSupport() { return menuSupport_; }
    const std::string& SkinDirectory() const { return skinDirectory_; }
    void SetSkinDirectory(const std::string& value);
    const std::string& SkinName() const { return skinName_; }
    // Changes the skin (with Active off, only the name is kept).
    void SetSkinName(const std::string& value);
    // "N/A" without a skin, else the skin's version.
    std::string SkinInfo() const;
    TacSkinningRules SkinningRules = srStdForms | srStdDialogs | srThirdParty;
    ThirdPartyList& ThirdParty() { return thirdParty_; }
    static const char* Version() { return "5.49"; }
    vcl::TNotifyEvent OnAfterChange;
    vcl::TNotifyEvent OnBeforeChange;
    TacGetExtraLineData OnGetMenuExtraLineData;
    // The painter of every skinned menu, made with the manager.
    std::unique_ptr<TsSkinableMenus> SkinableMenus;

    HWND HotWindow = nullptr;  // the window under the mouse
    bool IsHooked = false;     // the window hook is in place
    TCachedIndexes CachedIndexes;
    TThirdLists ThirdLists;

    // The loaded skin: its data, sections, masks, textures, master bitmap.
    const TsSkinContent& Skin() const { return skin_; }
    TsSkinContent& Skin() { return skin_; }
    const TsSkinData& SkinData() const { return skin_.SkinData; }
    bool SkinActive() const { return skin_.SkinData.Active; }

    // Lookups: never throw, -1 or a fallback colour on a miss.
    int GetSkinIndex(std::string_view section) const { return skin_.GetSkinIndex(section); }
    int GetMaskIndex(int skinIndex, std::string_view section, std::string_view property) const {
        return skin_.GetMaskIndex(skinIndex, section, property);
    }
    int FindMaskIndex(std::string_view section, std::string_view property) const {
        return skin_.FindMaskIndex(section, property);
    }
    int GetTextureIndex(int skinIndex, std::string_view section, std::string_view property) const {
        return skin_.GetTextureIndex(skinIndex, section, property);
    }
    int GetPatternIndex(int skinIndex, std::string_view section, std::string_view property) const {
        return skin_.GetPatternIndex(skinIndex, section, property);
    }
    bool IsValidSkinIndex(int index) const { return skin_.IsValidSkinIndex(index); }
    bool IsValidMaskIndex(int index) const { return skin_.IsValidMaskIndex(index); }
    TColor GetGlobalInfoColor() const;
    TColor GetGlobalInfoFontColor() const;
    TColor GetGlobalInfoHotColor() const;
    int GetMaskMarginLeft(int maskIndex) const { return MaskMarginLeft(skin_, maskIndex); }
    int GetMaskMarginRight(int maskIndex) const { return MaskMarginRight(skin_, maskIndex); }
    int GetMaskMarginBottom(int maskIndex) const { return MaskMarginBottom(skin_, maskIndex); }
    // Stored skins, then skin folders (kind 0), packed files (1) or both (2).
    void GetSkinNames(vcl::TStrings* list, int kind, std::string& firstName) const;

    void SendNewSkin();
    void SendRemoveSkin();
    // AC_BEFOREREFRESH, then AC_SKINREFRESH to every form with redrawing held.
    void RepaintForms();
    void InitConstantIndexes() { CachedIndexes = skin::InitConstantIndexes(skin_); }
    void InitHook();
    void ReleaseHook();
    // AC_HOTLEAVE to the old window, AC_HOTENTER to the new one.
    void SetHotWindow(HWND window);
    std::string GetFullSkinDirectory() const;
    // Messages of the application window: true when consumed.
    bool MainWindowHook(vcl::TMessage& message);

protected:
    void OnLoaded() override;

private:
    bool Loading() const { return (ComponentState() & (vcl::csLoading | vcl::csReading)) != 0; }
    bool Designing() const { return (ComponentState() & vcl::csDesigning) != 0; }
    // The loader matching the skin's source; false when no skin was found.
    void LoadSkin();
    void Reload();

    bool skinnedPopups_ = true;
    TacAnimEffects animEffects_;
    bool isDefault_ = false;
    bool active_ = true;
    std::vector<std::string> commonSections_;
    int saturation_ = 0;
    int hueOffset_ = 0;
    TsStoredSkins internalSkins_;
    TacMenuSupport menuSupport_;
    std::string skinDirectory_;
    std::string skinName_;
    ThirdPartyList thirdParty_;
    TsSkinContent skin_;
    int mainHookCookie_ = 0;
};

extern TsSkinManager* DefaultManager;
// The system is of the NT family (set once at start).
extern const bool IsNTPlatform;
// Windows 6 or later: the skin-change fade has no frames there.
bool IsWindows6OrLater();
extern bool SkinIsChanging;  // from the start of a skin change until it has been sent
extern bool SkinSending;     // during the AC_SKINLOADED broadcast
extern bool SkinRemoving;    // inside SendRemoveSkin
// The thread's window hook while a skin is active, and the providers it made.
extern HHOOK DialogHookHandle;
extern std::vector<vcl::TObject*>* HookedProviders;

// True while the object is a manager that has not been freed.
bool IsLiveManager(const TsSkinManager* manager);

// Where the skinned windows plug in: each is called when set.
struct TSkinCallPoints {
    // Sees every window-hook notification before the next hook does.
    std::function<void(int code, WPARAM wParam, LPARAM lParam)> DialogHook;
    // The hook has just been installed: windows already shown are taken now.
    std::function<void()> HookInstalled;
    // The menus forget the menu windows they skinned.
    std::function<void()> ClearMenuArray;
};
extern TSkinCallPoints& SkinCallPoints;

// The thread's WH_CBT hook of the library.
LRESULT CALLBACK DialogsCBTHook(int code, WPARAM wParam, LPARAM lParam);

}  // namespace skin
