#include "windows/form_crators.h"

using namespace vcl;

Tformcreators* formcreators = nullptr;

Tformcreators::Tformcreators(TComponent* owner) : TForm(owner) {
    SetName("formcreators");
    SetCaption("Благодарности");
    SetBorderStyle(bsSingle);
    SetClientSize(380, 330);
    SetBounds(260, 160, Width(), Height());
    Label1 = Declare<TLabel>(this, "Label1")
                 .With([](TLabel* l) { l->SetAutoSize(false); })
                 .Bounds(12, 10, 356, 16)
                 .Caption("Над Симулятором работали игроки");
    Memo1 = Declare<TMemo>(this, "Memo1")
                .Bounds(12, 32, 356, 286)
                .Items({"Программирование",
                        "    команда разработчиков симулятора",
                        "",
                        "Теститрование и поиск дыр",
                        "    Сержант_Пепел",
                        "    Ночной_Рой",
                        "    КапитанЗонд",
                        "",
                        "Информационная поддержка",
                        "    Хранитель_Архива",
                        "    Звездный_Картограф",
                        "",
                        "Интерфейс и новые идеи",
                        "    Лиловая_Матка",
                        "    Инженер_Варп",
                        "",
                        "Пиар компания и моральная поддержка",
                        "    Альянс ТЕМНЫЙ ПРЕДЕЛ",
                        "    все игроки, приславшие отчеты о боях"})
                .With([](TMemo* m) {
                    m->SetReadOnly(true);
                    m->SetScrollBars(ssVertical);
                });
    Timer1 = DeclareTimer(this, "Timer1", 5000, false, Bind(this, &Tformcreators::Timer1Timer));
    OnCloseQuery = Bind(this, &Tformcreators::FormCloseQuery);
}

void Tformcreators::FormCloseQuery(TObject*, bool& CanClose) {
    // The first attempt starts the countdown; the timer then closes the window.
    if (!Timer1->Enabled()) {
        CanClose = false;
        Timer1->SetEnabled(true);
    }
}

void Tformcreators::Timer1Timer(TObject*) {
    Close();
    Timer1->SetEnabled(false);
}
