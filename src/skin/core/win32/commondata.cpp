#include "skin/core/win32/commondata.h"

#include "rtl/encoding.h"
#include "skin/core/skincommands.h"
#include "skin/core/skinlookups.h"
#include "skin/core/win32/skingdi.h"
#include "skin/core/win32/skinmanager.h"
#include "skin/core/win32/skinmessages.h"
#include "vcl/stdctrls.h"

namespace skin {

using namespace vcl;

std::string ChangedSkinSection;

namespace {

bool Destroying(const TObject* object) {
    auto* c = dynamic_cast<const TComponent*>(object);
    return c && (c->ComponentState() & csDestroying);
}

TsProviderLink* ProviderOf(TObject* owner) { return dynamic_cast<TsProviderLink*>(owner); }

}  // namespace

TsCommonData::TsCommonData(TObject* owner, bool createCacheBmp)
    : OwnerControl(dynamic_cast<TControl*>(owner)), OwnerObject(owner) {
    if (createCacheBmp) CacheBitmap = std::make_unique<TBitmap>(0, 0, pf24bit);
}

TsCommonData::~TsCommonData() {
    BorderMaskIndex = SectionIndex = TextureIndex = HotTextureIndex = -1;
    OwnerControl = nullptr;
    OwnerObject = nullptr;
    skinManager_ = nullptr;
}

bool TsCommonData::OwnerDestroying() const { return Destroying(OwnerObject); }

bool TsCommonData::OwnerLoading() const {
    auto* c = dynamic_cast<const TComponent*>(OwnerObject);
    return c && (c->ComponentState() & (csLoading | csReading));
}

TsSkinManager* TsCommonData::SkinManager() const {
    if (skinManager_ && IsLiveManager(skinManager_)) return skinManager_;
    return DefaultManager;
}

bool TsCommonData::HasValidSkin(bool checkActive) const {
    if (OwnerDestroying()) return false;
    TsSkinManager* m = SkinManager();
    if (!m || (m->ComponentState() & csDestroying)) return false;
    if (checkActive && !m->SkinActive()) return false;
    return m->IsValidSkinIndex(SectionIndex);
}

const TsGeneralData* TsCommonData::Section() const {
    TsSkinManager* m = SkinManager();
    if (!m || !m->IsValidSkinIndex(SectionIndex)) return nullptr;
    return &m->Skin().Sections[static_cast<size_t>(SectionIndex)];
}

void TsCommonData::RefreshSkinIndexes() {
    BackgroundChanged = true;
    TsSkinManager* m = SkinManager();
    SectionIndex = m ? m->GetSkinIndex(skinSection_) : -1;
    if (SectionIndex >= 0) {
        BorderMaskIndex = m->GetMaskIndex(SectionIndex, skinSection_, "BORDERSMASK");
        TextureIndex = m->GetTextureIndex(SectionIndex, skinSection_, "PATTERN");
        HotTextureIndex = m->GetTextureIndex(SectionIndex, skinSection_, "HOTPATTERN");
    } else {
        // Indexes of another skin must not reach this one's tables.
        BorderMaskIndex = TextureIndex = HotTextureIndex = -1;
    }
}

void TsCommonData::SetDefaultSection() {
    if (!skinSection_.empty()) {
        RefreshSkinIndexes();
        return;
    }
    std::string name = DefaultSectionName(ControlTypeCode);
    if (name.empty() && OwnerObject) name = OwnerObject->ClassName();
    SetSkinSection(name);
}

void TsCommonData::SendToOwner(unsigned command, LPARAM lParam) {
    if (TsProviderLink* provider = ProviderOf(OwnerObject)) {
        if (TForm* form = provider->ProviderForm()) form->Perform(SM_SKINCMD, SkinCommandWParam(command), lParam);
    } else if (OwnerControl && OwnerControl->Parent() && !OwnerDestroying()) {
        OwnerControl->Perform(SM_SKINCMD, SkinCommandWParam(command), lParam);
    }
}

void TsCommonData::TellOwner() {
    TsSkinManager* m = SkinManager();
    SendToOwner(HasValidSkin(false) ? AC_SKINREFRESH : AC_SKINREMOVED, reinterpret_cast<LPARAM>(m));
}

void TsCommonData::SetSkinSection(const std::string& value) {
    const std::string section = value.empty() ? std::string("UNKNOWN") : rtl::UpperCase1251(value);
    if (section == skinSection_) return;
    skinSection_ = section;
    TsSkinManager* m = SkinManager();
    if (m && !m->Skin().Sections.empty())
        RefreshSkinIndexes();
    else
        SectionIndex = -1;
    if (OwnerControl) {
        if (!OwnerControl->Parent() || OwnerDestroying() || OwnerLoading()) return;
    } else if (TsProviderLink* provider = ProviderOf(OwnerObject)) {
        BackgroundChanged = true;
        provider->TitleStripChanged();
        return;
    }
    TellOwner();
}

void TsCommonData::SetSkinManager(TsSkinManager* value) {
    skinManager_ = value == DefaultManager ? nullptr : value;
    if (OwnerLoading()) return;
    TsSkinManager* m = SkinManager();
    if (m && !m->Skin().Sections.empty())
        RefreshSkinIndexes();
    else
        SectionIndex = -1;
    TellOwner();
}

bool TsCommonData::IsEditOwner() const {
    return dynamic_cast<TEdit*>(OwnerControl) || dynamic_cast<TMemo*>(OwnerControl) || ControlTypeCode == 97;
}

void TsCommonData::ApplyEditColors() {
    const TsGeneralData* gd = Section();
    if (!gd || !OwnerControl || !IsEditOwner()) return;
    if (!customColor_ && OwnerControl->Color() != gd->Color) OwnerControl->SetColor(gd->Color);
    if (!customFont_ && OwnerControl->Font()->Color() != gd->FontColor[0]) OwnerControl->Font()->SetColor(gd->FontColor[0]);
}

void TsCommonData::SetCustomColor(bool value) {
    if (value == customColor_) return;
    customColor_ = value;
    if (HasValidSkin() && !OwnerLoading() && IsEditOwner()) {
        ApplyEditColors();
        InvalidateOwner();
    }
}

void TsCommonData::SkinDataLoaded() {
    SetDefaultSection();
    const bool skinned = HasValidSkin();
    if (!skinned && ThemesEnabled() && OwnerControl)
        OwnerControl->SetControlStyle(OwnerControl->ControlStyle() & ~static_cast<unsigned>(csParentBackground));
    if (skinned && OwnerControl && OwnerControl->Parent() && !OwnerLoading()) {
        if (auto* windowed = dynamic_cast<TWinControl*>(OwnerControl)) AddToFormAdapter(windowed);
        ApplyEditColors();
    }
}

void TsCommonData::BeginSkinUpdate() {
    Updating = true;
    SendToOwner(AC_UPDATESTART, 0);
}

void TsCommonData::EndSkinUpdate() {
    Updating = false;
    SendToOwner(AC_UPDATEDONE, 0);
}

void TsCommonData::InitCacheBitmap() {
    if (!CacheBitmap) CacheBitmap = std::make_unique<TBitmap>();
    CacheBitmap->SetPixelFormat(pf24bit);
    if (!OwnerControl) return;
    if (CacheBitmap->Width() != OwnerControl->Width() || CacheBitmap->Height() != OwnerControl->Height())
        CacheBitmap->SetSize(OwnerControl->Width(), OwnerControl->Height());
}

void TsCommonData::InvalidateOwner() {
    if (OwnerLoading() || OwnerDestroying()) return;
    BackgroundChanged = true;
    if (ControlIsReady(OwnerControl)) OwnerControl->Invalidate();
}

bool TsCommonData::IsSkinUpdating() const {
    TsSkinManager* m = SkinManager();
    if (!m || !m->SkinActive()) return true;
    if (Updating && OwnerObject && !OwnerDestroying()) return true;
    if (!OwnerControl || OwnerDestroying()) return false;
    if (!OwnerControl->Parent()) return true;
    return AskSkinCommand(OwnerControl->Parent(), AC_QUERYUPDATING);
}

bool TsCommonData::IsSemiTransparent() const {
    const TsGeneralData* gd = Section();
    return gd && gd->Transparency >= 1;
}

bool TsCommonData::DependsOnParentBg() const {
    if (FullPaint || !HasValidSkin()) return true;
    if (OwnerControl && (!OwnerControl->Visible() || (OwnerControl->ControlState() & csCreating))) return true;
    const TsGeneralData* gd = Section();
    if (!gd) return false;
    bool depends = (OwnerControl && !OwnerControl->Enabled()) || gd->Transparency >= 1;
    if (depends && OwnerControl) {
        TWinControl* parent = OwnerControl->Parent();
        if (parent && parent->HandleAllocated()) depends = AskSkinCommand(parent, AC_QUERYBGVARIES);
    }
    return depends;
}

bool TsCommonData::ParentBgVaries() const {
    TWinControl* parent = OwnerControl ? OwnerControl->Parent() : nullptr;
    return parent && parent->HandleAllocated() && AskSkinCommand(parent, AC_QUERYBGVARIES);
}

void TsCommonData::GetParentCache(TParentCacheInfo& info) const {
    ReplyCacheInfo.Ready = false;
    if (OwnerControl && OwnerControl->Parent()) ControlSkinCommand(OwnerControl->Parent(), AC_QUERYCACHE);
    info = ReplyCacheInfo;
}

void TsCommonData::GetParentCacheHwnd(HWND window, TParentCacheInfo& info) {
    ReplyCacheInfo = TParentCacheInfo{};
    SendSkinCommand(GetParent(window), AC_QUERYCACHE);
    info = ReplyCacheInfo;
}

bool TsCommonData::ControlIsActive() const {
    if (!OwnerControl || !OwnerControl->Enabled() || OwnerDestroying()) return false;
    if (OwnerControl->ComponentState() & csDesigning) return false;
    auto* windowed = dynamic_cast<TWinControl*>(OwnerControl);
    if (Focused || (windowed && windowed->Focused())) return true;
    return MouseAbove && !IsNoHoverCode(ControlTypeCode);
}

bool TsCommonData::AnswerBgVaries() const {
    const TsGeneralData* gd = Section();
    if (gd->Transparency == 100 && OwnerControl && OwnerControl->Parent()) return ParentBgVaries();
    return gd->GradientPercent + gd->ImagePercent >= 1 || DependsOnParentBg();
}

void TsCommonData::AnswerBgColor() {
    auto rgb = [](TColor c) { return static_cast<TColor>(ColorToRGB(c)); };
    TColor ownColor = OwnerControl ? OwnerControl->Color() : clBtnFace;
    if (TsProviderLink* provider = ProviderOf(OwnerObject))
        if (TForm* form = provider->ProviderForm()) ownColor = form->Color();
    const TsGeneralData* gd = HasValidSkin(false) ? Section() : nullptr;
    if (!gd) {
        ReplyBgColor = rgb(ownColor);
        return;
    }
    const int t = gd->Transparency;
    if (t <= 0) {
        ReplyBgColor = rgb(customColor_ && OwnerControl ? ownColor : gd->Color);
        return;
    }
    // What lies behind: the parent's answer, else its own colour.
    TColor behind = rgb(ownColor);
    if (TWinControl* parent = OwnerControl ? OwnerControl->Parent() : nullptr) {
        ReplyBgColor = clFuchsia;
        if (parent->HandleAllocated()) SendSkinCommand(parent->Handle(), AC_QUERYBGCOLOR);
        behind = ReplyBgColor == clFuchsia ? rgb(parent->Color()) : ReplyBgColor;
    }
    ReplyBgColor = t >= 100 ? behind : BlendBgColor(t, behind, rgb(gd->Color));
}

bool TsCommonData::HandleSkinCommand(TMessage& message) {
    if (message.Msg != SM_SKINCMD || !OwnerObject) return false;
    const unsigned command = SkinCommandOf(message.WParam);
    const unsigned arg = SkinCommandArgOf(message.WParam);
    if (command >= kFirstForeignCommand) return false;
    TsSkinManager* own = SkinManager();
    const bool ownManager = message.LParam != 0 && reinterpret_cast<TsSkinManager*>(message.LParam) == own;
    auto answer = [&message](LRESULT value) {
        // Askers read the record or the result: both carry the answer.
        message.LParam = value;
        message.Result = value;
    };
    switch (command) {
        case AC_SKINLOADED:
            if (!ownManager) return false;
            Updating = true;
            RefreshSkinIndexes();
            SkinSending = false;
            return true;
        case AC_SKINREMOVED:
            if (!ownManager) return false;
            if (own->ComponentState() & csDestroying) skinManager_ = nullptr;
            BorderMaskIndex = SectionIndex = TextureIndex = HotTextureIndex = -1;
            Updating = true;
            if (CacheBitmap) CacheBitmap->SetSize(0, 0);
            if (OwnerControl && IsEditOwner()) {
                if (!customColor_) OwnerControl->SetColor(clWindow);
                if (!customFont_) OwnerControl->Font()->SetColor(clWindowText);
            }
            return true;
        case AC_SKINREFRESH:
            if (!ownManager) return false;
            BackgroundChanged = true;
            Updating = false;
            if (HasValidSkin() && OwnerControl) {
                ApplyEditColors();
                if (auto* windowed = dynamic_cast<TWinControl*>(OwnerControl)) AddToFormAdapter(windowed);
            }
            return true;
        case AC_QUERYCACHE:
            ReplyCacheInfo.Ready = false;
            if (CacheBitmap && !CacheBitmap->Empty()) ReplyCacheInfo = MakeParentCacheInfo(CacheBitmap->Pixels(), 0, 0);
            return true;
        case AC_QUERYSKINNED:
            answer(1);
            return true;
        case AC_SETUPDATEFLAG:
            Updating = arg == 1;
            return true;
        case AC_SETFULLPAINT:
            FullPaint = arg == 1;
            return true;
        case AC_QUERYUPDATING:
            answer(BackgroundChanged || IsSkinUpdating() ? 1 : 0);
            return true;
        case AC_QUERYHALFVISIBLE:
            answer(HalfVisible ? 1 : 0);
            return true;
        case AC_BGCHANGEDIFSEMI:
            if (arg == 1 && IsSemiTransparent()) BackgroundChanged = true;
            return true;
        case AC_SECTIONCHANGED:
            if (!ChangedSkinSection.empty() && rtl::UpperCase1251(skinSection_) == ChangedSkinSection) {
                SkinSending = false;
                InvalidateOwner();
            }
            return true;
        case AC_SETPAINTCHILD:
            PaintingChild = reinterpret_cast<TControl*>(message.LParam);
            return true;
        case AC_SETBGCHANGED:
            BackgroundChanged = true;
            return true;
        case AC_QUERYBGVARIES:
            if (!Section()) return false;
            answer(AnswerBgVaries() ? 1 : 0);
            return true;
        case AC_PARENTBGCHANGED: {
            const bool depends = DependsOnParentBg();
            BackgroundChanged = BackgroundChanged || depends;
            auto* windowed = dynamic_cast<TWinControl*>(OwnerControl);
            if (windowed) {
                if (arg == 1 && windowed->HandleAllocated())
                    RedrawWindow(windowed->Handle(), nullptr, nullptr,
                                 RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_ALLCHILDREN);
                if (depends)
                    for (int i = 0; i < windowed->ControlCount(); ++i) {
                        TControl* child = windowed->Controls(i);
                        if (!Destroying(child)) ControlSkinCommand(child, AC_PARENTBGCHANGED);
                    }
            }
            return true;
        }
        case AC_QUERYBGCOLOR:
            AnswerBgColor();
            return true;
        case AC_SETHALFVISIBLE:
            HalfVisible = true;
            return true;
        case AC_QUERYAPPLICATION:
            message.Result = reinterpret_cast<LRESULT>(Application);
            return true;
        default:
            return false;
    }
}

bool TsCommonData::HandleCommonMessage(TMessage& message) {
    auto* windowed = dynamic_cast<TWinControl*>(OwnerControl);
    const bool designing = OwnerControl && (OwnerControl->ComponentState() & csDesigning);
    switch (message.Msg) {
        case SM_SKINCMD:
            return HandleSkinCommand(message);
        case WM_MOVE:
            if (OwnerControl && DependsOnParentBg())
                OwnerControl->Perform(SM_SKINCMD, SkinCommandWParam(AC_PARENTBGCHANGED, 1), 0);
            break;
        case WM_SIZE:
            if (HasValidSkin()) {
                BackgroundChanged = true;
                const TsGeneralData* gd = Section();
                if (windowed && gd && gd->GradientPercent >= 1)
                    for (int i = 0; i < windowed->ControlCount(); ++i) {
                        TControl* child = windowed->Controls(i);
                        if (Destroying(child) || (child->Anchors() & (akRight | akBottom))) continue;
                        child->Perform(SM_SKINCMD, SkinCommandWParam(AC_PARENTBGCHANGED, 1), 0);
                    }
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (windowed && windowed->CanFocus() && windowed->TabStop()) {
                BackgroundChanged = true;
                Focused = message.Msg == WM_SETFOCUS;
            }
            break;
        case WM_FONTCHANGE:
        case CM_ENABLEDCHANGED:
            Focused = false;
            MouseAbove = false;
            break;
        case WM_UPDATEUISTATE:
            if (HasValidSkin()) return true;
            if (ThemesEnabled() && windowed && windowed->HandleAllocated())
                SetWindowThemeOf(windowed->Handle(), nullptr, nullptr);
            break;
        case WM_PARENTNOTIFY:
            if (LOWORD(message.WParam) == WM_CREATE && windowed) AddToFormAdapter(windowed);
            break;
        case CM_VISIBLECHANGED:
            if (CacheBitmap) {
                if (message.WParam == 1) {
                    Updating = false;
                    BackgroundChanged = true;
                } else {
                    CacheBitmap->SetSize(0, 0);
                }
            }
            break;
        case CM_MOUSEENTER:
            if (designing) break;
            if (!IsNoHoverCode(ControlTypeCode)) MouseAbove = true;
            if (windowed && windowed->HandleAllocated() && DefaultManager) DefaultManager->SetHotWindow(windowed->Handle());
            break;
        case CM_MOUSELEAVE:
            if (!designing && !IsNoHoverCode(ControlTypeCode)) MouseAbove = false;
            break;
        default:
            break;
    }
    return false;
}

}  // namespace skin
