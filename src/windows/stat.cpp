#include "windows/stat.h"

#include "windows/log.h"

using namespace vcl;

TForm10* Form10 = nullptr;

TForm10::TForm10(TComponent* owner) : TForm(owner) {
    SetName("Form10");
    SetCaption("статистический модуль");
    SetBounds(652, 21, 520, 520);
    SetClientSize(504, 482);
    Memo1 = Declare<TMemo>(this, "Memo1")
                .Bounds(8, 8, 488, 432)
                .Anchors(akLeft | akTop | akRight | akBottom)
                .With([](TMemo* m) {
                    m->SetScrollBars(ssBoth);
                    m->SetWordWrap(false);
                    m->SetLineBound(TForm7::kRunLines, TForm7::DroppedLinesNote);
                });
    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(396, 449, 100, 25)
                  .Anchors(akRight | akBottom)
                  .Caption("Стереть")
                  .OnClick(Bind(this, &TForm10::Button1Click));
}

void TForm10::Button1Click(TObject*) { Memo1->Lines()->Clear(); }
