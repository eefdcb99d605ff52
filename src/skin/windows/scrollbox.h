// The scroll box whose background, border and scroll bars follow the skin:
// the main window's fleet entry of each side lies in one.
#pragma once
#include "vcl/win.h"

#include <functional>
#include <memory>

#include "skin/core/win32/commondata.h"
#include "skin/windows/scrollbaradapter.h"
#include "vcl/extctrls.h"

namespace skin {

// Called after the background was rendered into the cache.
using TsPaintEvent = std::function<void(vcl::TObject* Sender, vcl::TBitmap* ControlBmp)>;

class TsScrollBox : public vcl::TScrollBox {
public:
    explicit TsScrollBox(vcl::TComponent* owner);
    ~TsScrollBox() override;
    const char* ClassName() const override { return "TsScrollBox"; }

    TsCommonData* SkinData() { return &data_; }
    // The skinned bars' adapter while a skin is on (nullptr otherwise).
    TacScrollWnd* ScrollAdapter() const { return scrollWnd_.get(); }
    void SetParent(vcl::TWinControl* parent) override;

    TsPaintEvent OnPaint;
    vcl::TNotifyEvent OnBeforeScroll;
    vcl::TNotifyEvent OnAfterScroll;

protected:
    void WndProc(vcl::TMessage& message) override;
    void PaintWindow(HDC dc) override;
    void OnLoaded() override;

private:
    // The section over the parent's picture into the cache, then OnPaint.
    void PrepareCache();
    // Border pixels between the window's edge and its client area.
    int ClientEdge() const;
    void PaintFrame(HDC windowDC);
    void UpdateScrolls();
    void HandleSkinCommand(vcl::TMessage& message);

    TsCommonData data_;
    std::unique_ptr<TacScrollWnd> scrollWnd_;
    // A released adapter, freed outside the message that released it.
    std::unique_ptr<TacScrollWnd> retired_;
};

}  // namespace skin
