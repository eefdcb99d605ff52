#include "skin/windows/mdiform.h"

#include "skin/core/skincommands.h"
#include "skin/core/win32/skingdi.h"
#include "skin/core/win32/skinmessages.h"

namespace skin {

using namespace vcl;

// ---- TacMDIWnd

TacMDIWnd::~TacMDIWnd() {
    ReleaseWindow();
    Form = nullptr;
    FormData = nullptr;
    Provider = nullptr;
    MDISupport = nullptr;
}

bool TacMDIWnd::FormSkinned() const {
    return Form && FormData && FormData->HasValidSkin() && FormData->CacheBitmap && !FormData->CacheBitmap->Empty();
}

bool TacMDIWnd::ChildMaximized() const {
    TForm* child = Form ? Form->ActiveMDIChild() : nullptr;
    return child && child->WindowState() == wsMaximized;
}

POINT TacMDIWnd::OffsetInForm(bool clientArea) const {
    RECT form{}, client{};
    GetWindowRect(Form->Handle(), &form);
    GetWindowRect(CtrlHandle, &client);
    POINT p{client.left, client.top};
    if (clientArea) {
        p = POINT{0, 0};
        ClientToScreen(CtrlHandle, &p);
    }
    return POINT{p.x - form.left, p.y - form.top};
}

// The form's picture behind the client area: its MDI area, rendered with the frame.
void TacMDIWnd::PaintBackground(HDC dc) {
    if (Provider) Provider->PaintNonClient();
    const POINT at = OffsetInForm(true);
    RECT r{};
    GetClientRect(CtrlHandle, &r);
    DrawPixels(dc, 0, 0, FormData->CacheBitmap->Pixels(), TRect{at.x, at.y, at.x + r.right, at.y + r.bottom});
}

void TacMDIWnd::PaintEdge() {
    RECT wr{}, cr{};
    GetWindowRect(CtrlHandle, &wr);
    GetClientRect(CtrlHandle, &cr);
    const int ring = ((wr.right - wr.left) - cr.right) / 2;
    if (ring <= 0) return;
    const POINT at = OffsetInForm(false);
    HDC dc = GetWindowDC(CtrlHandle);
    const TPixels cache = FormData->CacheBitmap->Pixels();
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    // The ring round the client area, each side from the same place in the form's picture.
    const TRect sides[] = {{0, 0, w, ring}, {0, h - ring, w, h}, {0, ring, ring, h - ring}, {w - ring, ring, w, h - ring}};
    for (const TRect& s : sides)
        DrawPixels(dc, s.Left, s.Top, cache, TRect{at.x + s.Left, at.y + s.Top, at.x + s.Right, at.y + s.Bottom});
    ReleaseDC(CtrlHandle, dc);
    if (HorzBar || VertBar) PaintScrollBars();
}

void TacMDIWnd::AdapterWndProc(TMessage& message) {
    if (Destroyed || !FormSkinned()) {
        TacBaseWnd::AdapterWndProc(message);
        return;
    }
    HWND window = CtrlHandle;
    if (message.Msg == SM_SKINCMD) {
        switch (SkinCommandOf(message.WParam)) {
            case AC_QUERYCACHE:
                // The children lie on the form's picture.
                message.Result = SendMessageW(Form->Handle(), message.Msg, message.WParam, message.LParam);
                if (ReplyCacheInfo.Ready) {
                    const POINT at = OffsetInForm(true);
                    ReplyCacheInfo.X = at.x;
                    ReplyCacheInfo.Y = at.y;
                }
                return;
            case AC_BEFORESCROLL:
                SendMessageW(window, WM_SETREDRAW, 0, 0);
                return;
            case AC_AFTERSCROLL:
                SendMessageW(window, WM_SETREDRAW, 1, 0);
                if (LOWORD(message.LParam) != SB_THUMBTRACK) {
                    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
                    UpdateScrollInfo(this, true);
                    if (GetCapture() == window) ReleaseCapture();
                }
                return;
            default:
                break;
        }
    }
    const bool maximized = ChildMaximized();
    switch (message.Msg) {
        case WM_ERASEBKGND:
            if (maximized) {
                if (MDISupport) MDISupport->UpdateProvider();
            } else {
                PaintBackground(reinterpret_cast<HDC>(message.WParam));
            }
            message.Result = 1;
            return;
        case WM_PAINT:
            if (maximized) break;
            {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(window, &ps);
                PaintBackground(dc);
                EndPaint(window, &ps);
            }
            message.Result = 0;
            return;
        case WM_NCPAINT:
            if (maximized) break;
            PaintEdge();
            message.Result = 0;
            return;
        case WM_PRINT: {
            HDC dc = reinterpret_cast<HDC>(message.WParam);
            PaintScrollBars(dc);
            PaintBackground(dc);
            message.Result = 0;
            return;
        }
        default:
            break;
    }
    TacBaseWnd::AdapterWndProc(message);
    switch (message.Msg) {
        case WM_PARENTNOTIFY:
        case 0x3F:  // the client re-reads its children's extent
            if (!Destroyed && ReadScrollState()) PaintScrollBars();
            break;
        case WM_MDIREFRESHMENU:
            if (MDISupport) MDISupport->UpdateProvider();
            break;
        default:
            break;
    }
}

// ---- TsMDIForm

TsMDIForm::TsMDIForm(TsSkinProvider* provider) : Provider(provider) {
    Form = provider ? provider->Form : nullptr;
    // The client window is made with the form's window.
    if (Form) Form->Handle();
}

TsMDIForm::~TsMDIForm() { RemoveAdapter(); }

void TsMDIForm::RemoveAdapter() {
    if (!Adapter) return;
    const HWND client = Adapter->CtrlHandle;
    RetireAdapter(std::move(Adapter));
    if (IsWindow(client)) RedrawWindow(client, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TsMDIForm::ConnectToClient() {
    if (!Provider || !Provider->SkinData || !Provider->SkinData->HasValidSkin() || !Form || !Form->ClientHandle()) {
        RemoveAdapter();
        return;
    }
    RemoveAdapter();
    Adapter = CreateAdapter<TacMDIWnd>(Form->ClientHandle(), nullptr, Provider->ProviderManager(), "CHECKBOX", true);
    Adapter->Form = Form;
    Adapter->FormData = Provider->SkinData.get();
    Adapter->Provider = Provider;
    Adapter->MDISupport = this;
    RedrawWindow(Form->ClientHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TsMDIForm::ConnectIfNeeded() {
    if (!Adapter || Adapter->Destroyed) ConnectToClient();
}

void TsMDIForm::UpdateProvider() {
    if (!Provider) return;
    Provider->SkinData->BackgroundChanged = true;
    Provider->MenuRowCount = -1;
}

void TsMDIForm::Refresh() {
    ConnectIfNeeded();
    if (Form && Form->ClientHandle())
        RedrawWindow(Form->ClientHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void InstallMDIForm() {
    ProviderCallPoints.MakeMDIForm = [](TsSkinProvider* provider) -> std::unique_ptr<TsMDIFormLink> {
        auto mdi = std::make_unique<TsMDIForm>(provider);
        mdi->ConnectToClient();
        return mdi;
    };
}

}  // namespace skin
