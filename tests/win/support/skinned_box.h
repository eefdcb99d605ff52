// Test owners of skin data: a box that paints its section over its parent's
// cached picture and records the skin commands it hears, and a form that
// stands for a form with a skin provider (it answers as one).
#pragma once
#include "vcl/vcl.h"

#include <string>
#include <vector>

#include "skin/core/skincommands.h"
#include "skin/core/win32/commondata.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/core/win32/skinpaint.h"

namespace skintest {

class TSkinnedBox : public vcl::TCustomControl {
public:
    TSkinnedBox(vcl::TWinControl* parent, const std::string& section, int left, int top, int width, int height)
        : vcl::TCustomControl(parent->ParentForm() ? static_cast<vcl::TComponent*>(parent->ParentForm()) : parent),
          Data(this, true) {
        CreateHandle();
        SetParent(parent);
        SetBounds(left, top, width, height);
        Data.SetSkinSection(section);
        Data.SkinDataLoaded();
    }
    const char* ClassName() const override { return "TSkinnedBox"; }
    // Marks the box as being destroyed, as a broadcast may meet it.
    void MarkDestroying() { SetDestroying(); }

    skin::TsCommonData Data;
    std::vector<unsigned> Commands;  // the skin commands heard, in order (not the question "skinned?")

protected:
    void CreateParams(vcl::TCreateParams& params) override {
        vcl::TCustomControl::CreateParams(params);
        params.WindowClass = u"TSkinnedBox";
        params.OwnClass = true;
        params.Style |= WS_CLIPCHILDREN;
    }
    void WndProc(vcl::TMessage& message) override {
        if (message.Msg == skin::SM_SKINCMD && skin::SkinCommandOf(message.WParam) != skin::AC_QUERYSKINNED)
            Commands.push_back(skin::SkinCommandOf(message.WParam));
        if (Data.HandleCommonMessage(message)) {
            // Skin news goes on to the children, as every skinned container passes it.
            const unsigned command = skin::SkinCommandOf(message.WParam);
            if (command == skin::AC_SKINLOADED || command == skin::AC_SKINREMOVED || command == skin::AC_SKINREFRESH) {
                vcl::TMessage copy = message;
                skin::BroadcastToChildren(this, copy);
            }
            return;
        }
        vcl::TCustomControl::WndProc(message);
    }
    void PaintWindow(HDC dc) override {
        const RECT client{0, 0, Width(), Height()};
        if (!Data.HasValidSkin()) {
            FillRect(dc, &client, vcl::SolidBrush(Color()));
            return;
        }
        Data.InitCacheBitmap();
        skin::TParentCacheInfo parent;
        Data.GetParentCache(parent);
        skin::PaintControlSection(&Data, parent, Data.CacheBitmap.get(), skin::TPoint{Left(), Top()},
                                  skin::TRect{0, 0, Width(), Height()}, 0);
        Data.BackgroundChanged = false;
        skin::PaintCacheExcludeControls(dc, this, &Data, skin::TRect{0, 0, Width(), Height()});
    }
};

// Answers AC_QUERYSKINNED and AC_QUERYPROVIDER as a form with a provider
// does, and records the skin commands and WM_SETREDRAW it gets.
class TProviderForm : public vcl::TForm, public skin::TsProviderLink {
public:
    explicit TProviderForm(vcl::TComponent* owner, skin::TsSkinManager* manager = nullptr)
        : vcl::TForm(owner), manager_(manager) {}
    vcl::TForm* ProviderForm() const override { return const_cast<TProviderForm*>(this); }
    skin::TsSkinManager* ProviderManager() const override { return manager_; }

    std::vector<unsigned> Commands;
    std::vector<WPARAM> Redraws;

protected:
    void WndProc(vcl::TMessage& message) override {
        if (message.Msg == skin::SM_SKINCMD) {
            const unsigned command = skin::SkinCommandOf(message.WParam);
            if (command == skin::AC_QUERYSKINNED) {
                message.LParam = message.Result = 1;
                return;
            }
            if (command == skin::AC_QUERYPROVIDER) {
                message.Result = reinterpret_cast<LRESULT>(static_cast<skin::TsProviderLink*>(this));
                return;
            }
            Commands.push_back(command);
        }
        if (message.Msg == WM_SETREDRAW) Redraws.push_back(message.WParam);
        vcl::TForm::WndProc(message);
    }

private:
    skin::TsSkinManager* manager_;
};

}  // namespace skintest
