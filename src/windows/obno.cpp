#include "windows/obno.h"

#include <string>

#include "rtl/weblink.h"

using namespace vcl;

Tobnovl* obnovl = nullptr;

namespace {

const char* const kBuildAdvice =
    "После загрузки скопировать полученные файлы (разархивроровав архив если есть) в папку с кемру с заменой";
const char* const kDatabaseAdvice =
    "После загрузки скопировать полученный файл в папку с программой с заменой старого, затем в главном меню "
    "выбрать \"Импорт базы даннах\"";

void Open(const std::string& link) {
    if (!rtl::OpenWebLink(link))
        Application->MessageBox("Не удалось открыть ссылку в браузере: " + link, Application->Title(),
                                MB_OK | MB_ICONSTOP);
}

}  // namespace

Tobnovl::Tobnovl(TComponent* owner) : TForm(owner) {
    SetName("obnovl");
    SetCaption("Обнаружен обновления");
    SetBorderStyle(bsSingle);
    SetClientSize(420, 150);
    auto link = [this](const std::string& name, int top) {
        return Declare<TEdit>(this, name).Bounds(8, top, 300, 23).Text(kNoLink).Enabled(false);
    };
    Label1 = Declare<TLabel>(this, "Label1").Bounds(8, 8, 400, 16).Caption("Обнаружены обновления сборки");
    Edit1 = link("Edit1", 28);
    Button2 = Declare<TButton>(this, "Button2")
                  .Bounds(316, 27, 96, 25)
                  .Caption("Загрузить")
                  .Enabled(false)
                  .OnClick(Bind(this, &Tobnovl::Button2Click));
    Label2 = Declare<TLabel>(this, "Label2").Bounds(8, 60, 400, 16).Caption("Обнаружены обновления базы данных");
    Edit2 = link("Edit2", 80);
    Button3 = Declare<TButton>(this, "Button3")
                  .Bounds(316, 79, 96, 25)
                  .Caption("Загрузить")
                  .Enabled(false)
                  .OnClick(Bind(this, &Tobnovl::Button3Click));
    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(316, 116, 96, 25)
                  .Caption("Закрыть")
                  .OnClick(Bind(this, &Tobnovl::Button1Click));
}

void Tobnovl::Button1Click(TObject*) { Close(); }

void Tobnovl::Button2Click(TObject*) {
    ShowMessage(kBuildAdvice);
    Open(Edit1->Text());
}

void Tobnovl::Button3Click(TObject*) {
    ShowMessage(kDatabaseAdvice);
    Open(Edit2->Text());
}
