// Tells the player that a newer build or database is on the update site and
// opens its download links in the web browser.
#pragma once
#include "vcl/vcl.h"

inline constexpr const char* kNoLink = "нет ссылки";

class Tobnovl : public vcl::TForm {
public:
    explicit Tobnovl(vcl::TComponent* owner);
    const char* ClassName() const override { return "Tobnovl"; }

    vcl::TLabel* Label1;    // "Обнаружены обновления сборки"
    vcl::TEdit* Edit1;      // the build's link
    vcl::TButton* Button2;  // "Загрузить" the build
    vcl::TLabel* Label2;    // "Обнаружены обновления базы данных"
    vcl::TEdit* Edit2;      // the database's link
    vcl::TButton* Button3;  // "Загрузить" the database
    vcl::TButton* Button1;  // "Закрыть"

    void Button1Click(vcl::TObject* Sender);
    void Button2Click(vcl::TObject* Sender);
    void Button3Click(vcl::TObject* Sender);
};

extern Tobnovl* obnovl;
