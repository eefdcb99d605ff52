// The form skin provider: the component that makes one form skinned. It
// goes on top of the form's WindowProc, draws the form's frame (border,
// title bar, icon, caption, caption buttons, menu line, grip) into the
// cache of its skin data and copies it to the window, cuts the window's
// region to the skin's border, answers the skin command message for the
// form and owns the form's system menu and caption extras.
//
// The frame's arithmetic is the window-free one of layout/formframe.h: the
// provider describes its form as a TFormFrame (Frame) and measures,
// places and hit-tests with it.
//
// The system keeps what the provider does not draw: WM_NCCALCSIZE, moving,
// sizing and the menu bar's tracking. The provider answers the hit test
// with its own codes (1000 + i for its own title buttons), takes
// WS_SYSMENU off the window so that the system draws no buttons or menu of
// its own, and never lets the default procedure paint the frame.
//
// Pieces made elsewhere plug in through ProviderCallPoints: the control
// adapter of the form, the skinned menus and the MDI area. Until they are
// set, a form has no control adapter, its menus keep the system's
// painting and its MDI area is left alone.
#pragma once
#include "vcl/win.h"

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "skin/core/parentcache.h"
#include "skin/core/win32/commondata.h"
#include "skin/core/win32/skinmanager.h"
#include "skin/windows/layout/formframe.h"
#include "skin/windows/scrollbaradapter.h"
#include "skin/windows/systemmenu.h"
#include "vcl/forms.h"
#include "vcl/stdctrls.h"

namespace skin {

enum TsGripMode { gmNone, gmRightBottom };
// rmBorder: moving and sizing with the mouse drag an outline.
enum TsResizeMode { rmStandard, rmBorder };
using TAddItemEvent = std::function<void(vcl::TComponent* Item, bool& CanBeAdded, std::string& SkinSection)>;

class TsSkinProvider;

// The form's control adapter: it re-skins the form's ordinary controls.
class TsFormAdapter {
public:
    virtual ~TsFormAdapter() = default;
    // Adapts every listed control under Root (nullptr: the form).
    virtual void AddAllControls(vcl::TWinControl* root) = 0;
    // One control with the default section.
    virtual void AddItem(vcl::TWinControl* control) = 0;
    // The message to every adapted control with a live adapter.
    virtual void BroadcastMessage(vcl::TMessage& message) = 0;
    // Every control given back to itself; the adapter is freed afterwards.
    virtual void ReleaseWindows() = 0;
};

// The skinned MDI area of an MDI main form.
class TsMDIFormLink {
public:
    virtual ~TsMDIFormLink() = default;
    // The maximized child's buttons and the MDI area painted again.
    virtual void Refresh() = 0;
};

// Where the control adapter, the skinned menus and the MDI area plug in;
// each is called when set.
struct TProviderCallPoints {
    std::function<std::unique_ptr<TsFormAdapter>(TsSkinProvider* provider)> MakeAdapter;
    std::function<std::unique_ptr<TsMDIFormLink>(TsSkinProvider* provider)> MakeMDIForm;
    // The menu painter on or off for the whole application.
    std::function<void(TsSkinManager* manager, bool active)> SetMenuPainterActive;
    // One menu (a main menu, a popup menu or a lone item) hooked for skinned
    // painting, or given back to the system's.
    std::function<void(vcl::TComponent* menu, bool skinned)> HookMenu;
};
extern TProviderCallPoints& ProviderCallPoints;

// Process-wide state of the providers (one GUI thread).
extern TsSkinProvider* MDIMainProvider;
extern TsSkinProvider* MaximizedChildProvider;
extern bool MaximizeChildOnPaint;
extern bool CaptionButtonPressed;  // a caption button was pressed and not yet released
extern int PendingResizeHit;       // the hit code an outline move or resize starts from
extern vcl::TForm* MenuIconsForm;
extern bool AddingControls, ClearingItems;

// The major Windows version the providers take their paths by; Override
// with 0 gives back what the system reports.
int WindowsMajorVersion();
void OverrideWindowsMajorVersion(int major);

// Message 0xBC4D with 0x41A2: a form that answers 0x41A2 keeps its
// rectangular window until its frame has been painted once.
constexpr UINT kKeepRectangularQuery = 0xBC4D;
constexpr WPARAM kKeepRectangularAnswer = 0x41A2;

class TsSkinProvider : public vcl::TComponent, public TsProviderLink {
public:
    // One provider per form: the owner's form, unless another provider
    // serves it already (then this one stays inert).
    explicit TsSkinProvider(vcl::TComponent* owner);
    ~TsSkinProvider() override;
    const char* ClassName() const override { return "TsSkinProvider"; }
    // Starts skinning when the manager's skin is on.
    void AfterConstruction();

    // TsProviderLink
    vcl::TForm* ProviderForm() const override { return Form; }
    TsSkinManager* ProviderManager() const override { return SkinData ? SkinData->SkinManager() : nullptr; }
    void TitleStripChanged() override { TitleStrip.reset(); }
    void RebuildRegion() override;

    // Properties.
    vcl::TAlignment CaptionAlignment() const { return captionAlignment_; }
    void SetCaptionAlignment(vcl::TAlignment value);
    std::unique_ptr<TsCommonData> SkinData;
    TsGripMode GripMode = gmNone;
    bool MakeSkinMenu = false;
    std::string MenuLineSkin;
    TsResizeMode ResizeMode = rmStandard;
    bool ScreenSnap = false;
    int SnapBuffer = 10;
    bool ShowAppIcon() const { return showAppIcon_; }
    void SetShowAppIcon(bool value);
    std::unique_ptr<TsTitleButtons> TitleButtons;
    std::unique_ptr<TsTitleIcon> TitleIcon;
    const std::string& TitleSkin() const { return titleSkin_; }
    void SetTitleSkin(const std::string& value);
    bool UseGlobalColor() const { return useGlobalColor_; }
    void SetUseGlobalColor(bool value);
    TAddItemEvent OnSkinItem;

    // State.
    std::vector<TRect> BorderRects;  // see-through parts of the frame, cut out of the region
    bool FullRepaint = true;
    int HotCode = 0;                 // the caption element under the mouse
    std::unique_ptr<vcl::TBitmap> ButtonsBackground;
    bool PaintedOnce = false;
    bool FormHooked = false;         // the provider has hooked its form
    bool MenuBarTold = false;        // the first activation told the menu bar
    TitleButtonRecord ButtonMin, ButtonMax, ButtonClose, ButtonHelp, MDIMin, MDIMax, MDIClose;
    bool InMenuLoop = false;
    bool ShowAnimated = false;
    std::unique_ptr<TacScrollWnd> ListSW;
    std::unique_ptr<TsFormAdapter> Adapter;
    bool RgnChanging = false;
    bool MenuChanged = true;
    std::unique_ptr<TsMDIFormLink> MDIForm;
    bool FormActive = true;
    std::unique_ptr<vcl::TBitmap> MenuLineBmp;
    vcl::TForm* Form = nullptr;
    int MenuRowCount = -1;
    std::unique_ptr<TsSystemMenu> SystemMenu;
    std::unique_ptr<vcl::TBitmap> TitleStrip;
    vcl::TForm* CoverForm = nullptr;
    bool HasParentBgChild = true;
    bool ClientRepaint = false;      // the client area is painted again with the next frame
    int TitleButtonMask = -2;        // "TITLEBUTTON"; below -1: looked up at the next paint

    // Metrics of the form as it is now (see layout/formframe.h).
    TFormFrame Frame() const;
    static TFrameSystemMetrics SystemMetrics();
    TFrameSkinMasks Masks() const;
    TTitleButtonsLayout ButtonsLayout() const;
    bool IsBordered() const;
    int CaptionHeight() const;
    int FrameHeight() const;
    int FrameWidth() const;
    int MenuLineHeight() const;
    int FormWindowWidth() const;
    int TopNonClientHeight() const;
    int ClientOffsetX() const;
    int ClientOffsetY() const;
    int MenuLineRowCount();
    // The main menu's items that the menu painter draws on the line, with
    // their places (screen coordinates).
    std::vector<std::pair<vcl::TMenuItem*, RECT>> PaintedMenuItems() const;
    bool HasVisibleMenu() const;
    int SysButtonCount() const;
    bool IconVisible() const;

    // Hit test of a screen point (LParam of WM_NCHITTEST); sets or clears the hot button.
    int NCHitTest(const vcl::TMessage& message);
    // The region cut to the skin's border (nothing until painted once on a
    // form that asks so, nothing for a docked form).
    void UpdateWindowRegion(bool repaint);
    HRGN CreateBordersRgn(int x, int y) const;
    void LoadBordersMask();
    // The cover form over the top frame (or the whole form) while the
    // default procedure paints there on older systems.
    void ShowCoverForm(bool wholeForm);
    void HideCoverForm();
    // The form's skinned scroll bars follow the skin.
    void RefreshFormScrollBars();
    void LockFormRedraw(bool withParent);
    void UnlockFormRedraw(bool withParent);
    // The whole frame painted again onto the window.
    void RepaintFrame();
    // One caption button painted again in its state.
    void RepaintCaptionButton(int code);
    void RefreshMDIParent();

    // Frame painting.
    void PaintNonClient();
    void RepaintCaption(const TParentCacheInfo& cache, const TRect& rect);
    void PaintTitleButtons();
    void PaintFrameToDC(HDC dc);
    void PaintClientArea(HDC dc, bool repaintChildren);
    void PaintFormWindow();
    void SetHotButton(int code, bool repaint);
    void SetPressedButton(int code);
    void CheckMaximizedEdge(POINT screenPoint);
    void SaveTitleStrip();
    void SaveButtonsBackground(bool full);
    void RestoreButtonsBackground();
    POINT ScreenToFormPoint(int x, int y) const;
    // The caption button record of a hit code (nullptr for other codes).
    TitleButtonRecord* ButtonRecord(int code);

    // The replacement of the form's WindowProc.
    void FormWndProc(vcl::TMessage& message);
    // Passes a message on below the provider.
    void CallOldWndProc(vcl::TMessage& message);

    // System menu, menus, outline moving and sizing, skin initialization.
    void DropSystemMenu(int x, int y);
    void SetMenusSkinned(bool value);
    // Starts an outline move (hit code 2) or resize (10..17) at a screen point.
    void StartDragResize(int x, int y, int hitCode);
    void DragResizeFrame(int x, int y);
    void FinishDragResize();
    bool Dragging() const { return dragging_; }
    bool CacheSizeChanged() const;
    void RefreshNonClient();
    void UpdateMDIForm(bool value);
    void InitAdapter();
    void FreeAdapter();
    void BroadcastToAdapter(vcl::TMessage& message);
    void RebuildMenuBar();
    void CopyMenuLineTail(vcl::TForm* form);
    void PaintCoverForm();
    void UpdateSysButtonImages();
    void InitSkinning();
    void Loaded();

protected:
    void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
    void BeforeDestruction() override;

private:
    bool FormDestroying() const;
    bool FormCreating() const;
    bool FormLoading() const;
    bool IsMDIChild() const;
    bool IsMDIForm() const;
    bool Showing() const;
    bool Skinned() const;
    TsSkinManager* Manager() const;
    void MarkChanged();
    // Gives the form back: the scroll adapter first, then the procedure.
    void ReleaseForm();
    void PaintAppIcon(vcl::TBitmap* bmp);
    void PaintMenuLine(const TParentCacheInfo& cache, int c, int b, int w);
    void PaintCaptionText(const TRect& area, int top, int right);
    void DrawCaptionButton(const TitleButtonRecord& record, int code, const TTitleButtonsLayout& layout);
    void DrawUserGlyph(TsTitleButton* button, const TRect& rect, int c);
    void UpdateTitleButtonRects(const TTitleButtonsLayout& layout);
    // The handlers of FormWndProc by stage.
    bool SkinCommandAnyState(vcl::TMessage& message);
    void SkinRemoved(vcl::TMessage& message);
    void UnskinnedWndProc(vcl::TMessage& message);
    void SkinnedWndProc(vcl::TMessage& message);
    void SkinnedSkinCommand(vcl::TMessage& message);
    void SkinnedSysCommand(vcl::TMessage& message);
    void ButtonUp(vcl::TMessage& message, int code);
    void NCPaint(vcl::TMessage& message);
    void NCActivate(vcl::TMessage& message);
    TPixelBitmap ClientPicture();
    // What of the client an activation change painted again: all of it, or
    // only Part (none when neither).
    struct RegionDeleter {
        void operator()(HRGN region) const { DeleteObject(region); }
    };
    struct ActivationRepaint {
        bool all = false;
        std::unique_ptr<std::remove_pointer_t<HRGN>, RegionDeleter> part;
    };
    ActivationRepaint RepaintActivationChange(const TPixelBitmap& clientBefore);
    void SnapToEdges(WINDOWPOS* pos) const;
    void DrawOutline(const RECT& rect);

    vcl::TWindowProcToken token_ = 0;
    bool released_ = false;
    vcl::TAlignment captionAlignment_ = vcl::taLeftJustify;
    bool showAppIcon_ = true;
    std::string titleSkin_;
    bool useGlobalColor_ = true;
    bool firstInit_ = true;
    bool firstNCPaint_ = true;
    bool inSizeLoop_ = false;
    // The outline being dragged.
    bool dragging_ = false;
    bool dragMoving_ = false;
    int dragHit_ = 0;
    POINT grab_{};
    RECT dragStart_{};
    RECT outline_{};
    bool outlineShown_ = false;
    HDC desktopDC_ = nullptr;
    int savedDC_ = 0;
    vcl::TWindowProcToken coverToken_ = 0;
};

}  // namespace skin
