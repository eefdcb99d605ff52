// The skinned MDI area of an MDI main form: TsMDIForm, which the form's
// provider keeps, puts a TacMDIWnd on the form's MDI client window while
// the skin is on. The client then shows the form's picture of its MDI area
// (rendered with the frame) behind the children and in its edge, and wears
// skinned scroll bars.
#pragma once
#include "vcl/win.h"

#include <memory>

#include "skin/windows/editadapters.h"
#include "skin/windows/skinprovider.h"

namespace skin {

class TsMDIForm;

// The adapter of an MDI client window.
class TacMDIWnd : public TacBaseWnd {
public:
    using TacBaseWnd::TacBaseWnd;
    ~TacMDIWnd() override;
    const char* ClassName() const override { return "TacMDIWnd"; }

    vcl::TForm* Form = nullptr;
    TsCommonData* FormData = nullptr;  // the provider's skin data
    TsSkinProvider* Provider = nullptr;
    TsMDIForm* MDISupport = nullptr;

    void AdapterWndProc(vcl::TMessage& message) override;

private:
    bool FormSkinned() const;
    bool ChildMaximized() const;
    // Where the client window lies in the form's window (its cache).
    POINT OffsetInForm(bool clientArea) const;
    void PaintBackground(HDC dc);
    void PaintEdge();
};

class TsMDIForm : public vcl::TObject, public TsMDIFormLink {
public:
    explicit TsMDIForm(TsSkinProvider* provider);
    ~TsMDIForm() override;
    const char* ClassName() const override { return "TsMDIForm"; }

    vcl::TForm* Form = nullptr;
    std::unique_ptr<TacMDIWnd> Adapter;
    TsSkinProvider* Provider;

    // A new adapter on the client window when the provider is skinned, none otherwise.
    void ConnectToClient();
    void ConnectIfNeeded();
    void RemoveAdapter();
    void UpdateProvider();
    // TsMDIFormLink
    void Refresh() override;
};

// Sets the providers' MakeMDIForm call point.
void InstallMDIForm();

}  // namespace skin
