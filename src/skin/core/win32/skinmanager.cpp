#include "skin/core/win32/skinmanager.h"

#include <algorithm>
#include <charconv>
#include <set>

#include "rtl/textfile.h"
#include "skin/core/skinload.h"
#include "skin/core/skinutils.h"
#include "skin/core/win32/formbroadcast.h"
#include "skin/core/win32/skindialogs.h"
#include "skin/core/win32/skingdi.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/windows/skinmenus.h"
#include "vcl/forms.h"
#include "vcl/onscreen.h"

namespace skin {

using namespace vcl;

TsSkinManager* DefaultManager = nullptr;
bool SkinIsChanging = false;
bool SkinSending = false;
bool SkinRemoving = false;
HHOOK DialogHookHandle = nullptr;
std::vector<TObject*>* HookedProviders = nullptr;
// Never destroyed: managers freed with the application's forms at exit still call through it.
TSkinCallPoints& SkinCallPoints = *new TSkinCallPoints;

namespace {

// The version block of the system as the library has always asked for it.
OSVERSIONINFOA SystemVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = 148;
    GetVersionExA(&info);
    return info;
}

// Never destroyed, for the same reason.
std::set<const TsSkinManager*>& LiveManagers() {
    static auto* managers = new std::set<const TsSkinManager*>;
    return *managers;
}

constexpr const char* kDefaultSkinDirectory = "c:\\Skins";
constexpr const char* kDefaultIcoLineSkin = "ICOLINE";

}  // namespace

const bool IsNTPlatform = SystemVersion().dwPlatformId == VER_PLATFORM_WIN32_NT;

bool IsWindows6OrLater() {
    static const bool six = SystemVersion().dwMajorVersion >= 6;
    return six;
}

bool IsLiveManager(const TsSkinManager* manager) { return manager && LiveManagers().count(manager) != 0; }

LRESULT CALLBACK DialogsCBTHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && SkinCallPoints.DialogHook) SkinCallPoints.DialogHook(code, wParam, lParam);
    return CallNextHookEx(DialogHookHandle, code, wParam, lParam);
}

TsSkinManager::TsSkinManager(TComponent* owner) : TComponent(owner) {
    LiveManagers().insert(this);
    isDefault_ = DefaultManager == nullptr;
    skin_.SkinData.Active = false;
    if (!DefaultManager) {
        DefaultManager = this;
        if (IsNTPlatform && !Designing())
            mainHookCookie_ = Application->HookMainWindow([this](TMessage& m) { return MainWindowHook(m); });
    }
    active_ = true;  // the field only: nothing is loaded before the properties are set
    SkinableMenus = std::make_unique<TsSkinableMenus>(this);
    UpdateThirdNames(thirdParty_, ThirdLists, false);
    if (skinDirectory_.empty()) skinDirectory_ = kDefaultSkinDirectory;
}

TsSkinManager::~TsSkinManager() {
    SetDestroying();
    SetActive(false);
    skin_.FreeJpegs();
    skin_.FreeBitmaps();
    if (DefaultManager == this) {
        if (mainHookCookie_) Application->UnhookMainWindow(mainHookCookie_);
        DefaultManager = nullptr;
    }
    SkinableMenus.reset();
    StoreThirdNames(thirdParty_, ThirdLists);
    LiveManagers().erase(this);
}

void TsSkinManager::OnLoaded() {
    if (skinDirectory_.empty()) skinDirectory_ = kDefaultSkinDirectory;
    if (menuSupport_.IcoLineSkin.empty()) menuSupport_.IcoLineSkin = kDefaultIcoLineSkin;
    UpdateThirdNames(thirdParty_, ThirdLists, false);
    // The skin was loaded while the properties were set; now the forms hear of it.
    if (active_ && !skinName_.empty()) SendNewSkin();
}

void TsSkinManager::SetSkinnedPopups(bool value) {
    if (value == skinnedPopups_) return;
    skinnedPopups_ = value;
    if (!Designing() && value && this == DefaultManager) SkinableMenus->UpdateMenus();
}

bool TsSkinManager::IsDefault() const { return this == DefaultManager; }

void TsSkinManager::SetIsDefault(bool value) {
    if (!value && DefaultManager) {
        isDefault_ = this == DefaultManager;
        return;
    }
    isDefault_ = true;
    DefaultManager = this;
    if (!active_) {
        SendRemoveSkin();
    } else {
        SendNewSkin();
        RepaintForms();
    }
}

void TsSkinManager::SetActive(bool value) {
    if (value == active_) return;
    // The shown forms keep their old look on the screen until each is whole
    // in the new one, skinned or plain, and then each appears once: a form
    // seen while it changes control by control would show a plain title over
    // skinned groups.
    std::vector<HWND> shown;
    if (!Loading() && !Designing() && !(ComponentState() & csDestroying))
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (TForm* form = Screen->Forms(i); form->HandleAllocated() && !form->Parent())
                shown.push_back(form->Handle());
    TScreenHold hold(shown);
    active_ = value;
    if (!value) {
        if (!Loading()) SendRemoveSkin();
        InitConstantIndexes();
    } else {
        SetSkinName(skinName_);
    }
}

void TsSkinManager::SetCommonSections(const std::vector<std::string>& lines) {
    commonSections_ = CleanCommonSections(lines);
    SetSkinName(skinName_);
}

void TsSkinManager::SetSaturation(int value) {
    if (value == saturation_) return;
    saturation_ = value;
    if (skin_.SkinData.Active) Reload();
}

void TsSkinManager::SetHueOffset(int value) {
    if (value == hueOffset_) return;
    hueOffset_ = value;
    if (skin_.SkinData.Active) Reload();
}

void TsSkinManager::SetSkinDirectory(const std::string& value) {
    if (value == skinDirectory_) return;
    skinDirectory_ = value;
    skin_.SkinData.SkinPath = GetFullSkinDirectory();
}

std::string TsSkinManager::GetFullSkinDirectory() const { return FullSkinDirectory(skinDirectory_, AppPath()); }

std::string TsSkinManager::SkinInfo() const {
    if (!skin_.SkinData.Active) return "N/A";
    // The shortest text that reads back as the version, "." whatever the locale.
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, skin_.SkinData.Version).ptr;
    return std::string(text, end);
}

void TsSkinManager::LoadSkin() {
    TSkinLoadOptions options;
    options.CommonSections = commonSections_;
    options.HueOffset = hueOffset_;
    options.Saturation = saturation_;
    options.ColorToRGB = [](TColor c) { return static_cast<TColor>(ColorToRGB(c)); };
    TSkinLoadResult result;
    try {
        // A packed file is looked for as written; a folder skin beside the program.
        const bool packed = rtl::FileExists(NormalDir(skinDirectory_) + skinName_ + ".asz");
        result = packed ? LoadSkinFromPacked(skin_, skinDirectory_, skinName_, GetFullSkinDirectory(), options)
                        : LoadSkinFromDir(skin_, GetFullSkinDirectory(), skinName_, internalSkins_, options);
    } catch (const std::exception&) {
        // The loaders guard their own work; nothing may break a skin change half-way.
        skin_.Clear();
        result.Status = TSkinLoadStatus::Failed;
        result.Message = "The skin cannot be loaded";
    }
    // A skin that did not load leaves no skin at all rather than half of one.
    if (result.Status != TSkinLoadStatus::Loaded)
        active_ = false;
    else if (!result.SkinName.empty())
        skinName_ = result.SkinName;  // a stored skin stood in for a missing one
    if (!result.Message.empty()) ShowMessageDlgShort(result.Message, mtWarning, mbOK);
}

void TsSkinManager::SetSkinName(const std::string& value) {
    skinName_ = value;
    if (!active_) return;
    if (OnBeforeChange) OnBeforeChange(this);
    SkinIsChanging = true;
    skin_.SkinData.Active = false;
    LoadSkin();
    if (!active_)
        SendRemoveSkin();
    else
        SendNewSkin();
    SkinIsChanging = false;
    if (OnAfterChange) OnAfterChange(this);
}

void TsSkinManager::Reload() {
    SkinIsChanging = true;
    LoadSkin();
    SkinIsChanging = false;
    // The indexes of the skin as it is now: a stored skin may have stood in
    // for a folder that went away.
    InitConstantIndexes();
    if (!active_ || skin_.Sections.empty()) {
        SendRemoveSkin();  // the skin has gone from under the forms
        return;
    }
    skin_.SkinData.Active = true;
    if (!Loading()) RepaintForms();
}

void TsSkinManager::SendNewSkin() {
    if (!Designing() && !Loading()) LockForms(this);
    ResetMenuCache();
    SkinableMenus->SetSkinBorderWidth(-1);  // the new skin's, looked up when asked for
    skin_.SkinData.Active = false;
    SkinSending = true;
    InitConstantIndexes();
    TMessage message = SkinCommandMessage(AC_SKINLOADED, reinterpret_cast<LPARAM>(this));
    BroadcastToForms(message);
    SkinSending = false;
    skin_.SkinData.Active = true;
    if (this == DefaultManager && !IsHooked) InitHook();
    RepaintForms();
}

void TsSkinManager::SendRemoveSkin() {
    SkinRemoving = true;
    ReleaseHook();
    // The forms take their plain look unseen and are then painted once,
    // each whole: unlocked, every control would repaint on its own release
    // and a form would stand half plain, half skinned meanwhile. Not at the
    // end of the run, when the windows go as they stand.
    const bool lock = !Designing() && !Loading() && !(ComponentState() & csDestroying);
    if (lock) LockForms(this);
    skin_.SkinData.Active = false;
    TMessage message = SkinCommandMessage(AC_SKINREMOVED, reinterpret_cast<LPARAM>(this));
    BroadcastToForms(message);
    skin_.FreeBitmaps();
    skin_.FreeJpegs();
    skin_.Sections.clear();
    // No index of the old skin outlives it.
    InitConstantIndexes();
    SkinRemoving = false;
    if (lock) UnlockForms(this, true);
}

void TsSkinManager::RepaintForms() {
    TMessage before = SkinCommandMessage(AC_BEFOREREFRESH, reinterpret_cast<LPARAM>(this));
    BroadcastToForms(before);
    if (!Loading()) LockForms(this);
    TMessage refresh = SkinCommandMessage(AC_SKINREFRESH, reinterpret_cast<LPARAM>(this));
    BroadcastToForms(refresh);
    if (!Loading()) UnlockForms(this, true);
}

void TsSkinManager::InitHook() {
    if (Designing() || this != DefaultManager || IsHooked) return;
    IsHooked = true;
    if (!HookedProviders) HookedProviders = new std::vector<TObject*>;
    DialogHookHandle = SetWindowsHookExA(WH_CBT, DialogsCBTHook, nullptr, GetCurrentThreadId());
    if (SkinCallPoints.HookInstalled) SkinCallPoints.HookInstalled();
}

void TsSkinManager::ReleaseHook() {
    if (Designing() || this != DefaultManager || !IsHooked) return;
    if (SkinCallPoints.ClearMenuArray) SkinCallPoints.ClearMenuArray();
    if (DialogHookHandle) UnhookWindowsHookEx(DialogHookHandle);
    if (HookedProviders) {
        std::vector<TObject*> providers;
        providers.swap(*HookedProviders);
        for (TObject* provider : providers) {
            if (auto* component = dynamic_cast<TComponent*>(provider))
                component->Free();
            else
                delete provider;
        }
        delete HookedProviders;
        HookedProviders = nullptr;
    }
    IsHooked = false;
    DialogHookHandle = nullptr;
}

void TsSkinManager::SetHotWindow(HWND window) {
    if (window == HotWindow) return;
    const HWND old = HotWindow;
    HotWindow = window;
    if (old) SendSkinCommand(old, AC_HOTLEAVE, reinterpret_cast<LPARAM>(this));
    if (window) SendSkinCommand(window, AC_HOTENTER, reinterpret_cast<LPARAM>(this));
}

bool TsSkinManager::MainWindowHook(TMessage& message) {
    if (!skinnedPopups_) return false;
    switch (message.Msg) {
        case WM_THEMECHANGED:
            return true;
        case kPopupItemShown:
        case kPopupWindowShown:
            SkinableMenus->PopupMenuShown(message);
            return true;
        default:
            return false;
    }
}

TColor TsSkinManager::GetGlobalInfoColor() const {
    return skin::GlobalInfoColor(skin_, CachedIndexes, [](TColor c) { return static_cast<TColor>(ColorToRGB(c)); },
                                 static_cast<TColor>(ColorToRGB(clBtnFace)));
}

TColor TsSkinManager::GetGlobalInfoFontColor() const {
    return skin::GlobalInfoFontColor(skin_, CachedIndexes, [](TColor c) { return static_cast<TColor>(ColorToRGB(c)); });
}

TColor TsSkinManager::GetGlobalInfoHotColor() const {
    return skin::GlobalInfoHotColor(skin_, CachedIndexes, [](TColor c) { return static_cast<TColor>(ColorToRGB(c)); },
                                    static_cast<TColor>(ColorToRGB(clWindow)));
}

void TsSkinManager::GetSkinNames(TStrings* list, int kind, std::string& firstName) const {
    const std::vector<std::string> names =
        ListSkinNames(internalSkins_, GetFullSkinDirectory(), static_cast<TSkinListKind>(std::clamp(kind, 0, 2)), firstName);
    if (!list) return;
    list->Clear();
    list->AddStrings(names);
}

}  // namespace skin
