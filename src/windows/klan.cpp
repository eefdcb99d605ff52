#include "windows/klan.h"

using namespace vcl;

TFo8* Fo8 = nullptr;

TFo8::TFo8(TComponent* owner) : TForm(owner) {
    SetName("Fo8");
    SetCaption("Warring");
    SetBorderStyle(bsDialog);
    SetClientSize(360, 110);
    SetBounds(320, 280, Width(), Height());
    Label1 = Declare<TLabel>(this, "Label1")
                 .With([](TLabel* l) {
                     l->SetAutoSize(false);
                     l->SetWordWrap(true);
                 })
                 .Bounds(16, 14, 328, 48)
                 .Caption("Спасибо, что пользовались симулятором.\nВсе несохраненные изменения будут потеряны.");
    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(130, 74, 100, 25)
                  .Caption("закрыть")
                  .Enabled(false)
                  .OnClick(Bind(this, &TFo8::Button1Click));
    Timer1 = DeclareTimer(this, "Timer1", 2000, false, Bind(this, &TFo8::Timer1Timer));
    OnCloseQuery = Bind(this, &TFo8::FormCloseQuery);
}

void TFo8::Timer1Timer(TObject*) {
    Timer1->SetEnabled(false);
    Button1->SetEnabled(true);
}

void TFo8::Button1Click(TObject*) {
    closing_ = true;
    Close();
    Application->Terminate();
}

void TFo8::FormCloseQuery(TObject*, bool& CanClose) { CanClose = closing_; }
