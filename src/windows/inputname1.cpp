#include "windows/inputname1.h"

#include "windows/dataform.h"

using namespace vcl;

TForm11* Form11 = nullptr;

namespace {
// Typed as the name of a side-1 participant, it opens the database window.
constexpr const char* kAccessCode = "tovermil";
}  // namespace

TForm11::TForm11(TComponent* owner) : TForm(owner) {
    SetName("Form11");
    SetCaption("введите имя");
    SetBorderStyle(bsDialog);
    SetClientSize(250, 72);
    SetBounds(360, 300, Width(), Height());
    Edit1 = Declare<TEdit>(this, "Edit1").Bounds(12, 10, 226, 21).Text("введите имя");
    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(75, 40, 100, 25)
                  .Caption("подтвердить")
                  .OnClick([this](TObject* sender) { Button1Click(sender); })
                  .With([](TButton* b) { b->SetDefault(true); });
}

void TForm11::EnableMainWindowTimer(const std::string& name) {
    TForm* main = Screen->FindForm("Form1");
    if (!main) return;
    if (auto* timer = dynamic_cast<TTimer*>(main->FindComponent(name))) timer->SetEnabled(true);
}

void TForm11::Button1Click(TObject*) {
    if (Edit1->Text() == kAccessCode) {
        if (Form4) Form4->Show();
    } else {
        EnableMainWindowTimer("addnew1");
    }
    Close();
}
