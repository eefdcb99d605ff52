// The medal editor: medal rows 1..100 (kind "2"), their bonuses and the
// kinds of units they act on.
#pragma once
#include "windows/bonuseditor.h"

class Tform911 : public TBonusEditor {
public:
    explicit Tform911(vcl::TComponent* owner);
    const char* ClassName() const override { return "Tform911"; }

    // Light, medium, heavy and super-heavy units; defence units; attack units.
    vcl::TCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4, *CheckBox5, *CheckBox6;
    vcl::TButton* Button1;  // "Создать новую медаль"
    vcl::TButton* Button2;  // "Удалить текущую медаль"
    vcl::TButton* Button3;  // "Сохранить данные"
    vcl::TButton* Button4;  // "Закрыть редактор"
    vcl::TButton* Button5;  // "Сбросить изменения"

    void Button1Click(vcl::TObject* Sender);
    void Button2Click(vcl::TObject* Sender);
    void Button3Click(vcl::TObject* Sender);
    void Button4Click(vcl::TObject* Sender);
    void Button5Click(vcl::TObject* Sender);

protected:
    void StoreFields(int row) override;
    void OpenFields(int row) override;

private:
    vcl::TCheckBox* Flag(int index) const;
};

extern Tform911* form911;
