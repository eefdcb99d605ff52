#include "windows/podbor_dialog.h"

using namespace vcl;

TForm22* Form22 = nullptr;

TForm22::TForm22(TComponent* owner) : TForm(owner) {
    SetName("Form22");
    SetCaption("Предупреждение");
    SetBorderStyle(bsDialog);
    SetClientSize(420, 170);
    SetBounds(300, 260, Width(), Height());
    // Long texts: fixed boxes with the words wrapped.
    auto wrapped = [](TLabel* l) {
        l->SetAutoSize(false);
        l->SetWordWrap(true);
    };
    Label1 = Declare<TLabel>(this, "Label1")
                 .With(wrapped)
                 .Bounds(12, 10, 396, 64)
                 .Caption("Для продолжения в поле врага должны быть введены все параметры, с вашей стороны не "
                          "допускается саба, в поля флота должны быть введены максимальные параметры ");
    Label2 = Declare<TLabel>(this, "Label2")
                 .With(wrapped)
                 .Bounds(12, 82, 396, 40)
                 .Caption("Вычисления могут занять некоторое время в ходе которого программа может не отвечать");
    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(60, 134, 140, 25)
                  .Caption("Подобрать флот")
                  .OnClick(Bind(this, &TForm22::Button1Click));
    Button2 = Declare<TButton>(this, "Button2")
                  .Bounds(220, 134, 140, 25)
                  .Caption("Вернуться в редактор")
                  .OnClick(Bind(this, &TForm22::Button2Click))
                  .With([](TButton* b) { b->SetCancel(true); });
}

void TForm22::Button1Click(TObject*) {
    if (TForm* main = Screen->FindForm("Form1"))
        if (auto* timer = dynamic_cast<TTimer*>(main->FindComponent("podbor1"))) timer->SetEnabled(true);
    Close();
}

void TForm22::Button2Click(TObject*) { Close(); }
