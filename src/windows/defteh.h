// The player's defaults: technology and officer levels, medal counts, the
// names of the player and of the enemy, and a fleet template to load at
// start. Kept in def.dat and med.dat; copied into side 1 five seconds after
// start and on request.
#pragma once
#include <cstdint>
#include <vector>

#include "battle/defaultsfiles.h"
#include "vcl/vcl.h"

class TForm14 : public vcl::TForm {
public:
    explicit TForm14(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm14"; }

    vcl::TValueListEditor* ValueListEditor2;  // technologies: the three fixed ones, then the rows
    vcl::TValueListEditor* ValueListEditor3;  // officers: the four fixed ones, then the rows
    vcl::TValueListEditor* ValueListEditor7;  // medals
    vcl::TLabel *Label1, *Label2;
    vcl::TEdit* Edit2;  // "Мое имя"
    vcl::TEdit* Edit3;  // "Имя соперника по умолчанию"
    vcl::TCheckBox* CheckBox1;  // "загружать юниты из шаблона"
    vcl::TListBox* ListBox1;    // the template names; enabled only with CheckBox1
    vcl::TEdit* Edit1;          // hidden: index of the default template, "-1" for none
    vcl::TButton* Button1;      // "сохранить"
    vcl::TButton* Button2;      // "Обнулить"
    vcl::TButton* Button3;      // "Закрыть без сохранения"
    vcl::TTimer* Timer1;        // start: the lists from the database and the saved values
    vcl::TTimer* Timer2;        // "Обнулить": the lists with every value 0

    // Database row of every entry of the three lists (0 for the fixed ones).
    std::vector<uint16_t> TechRows, OfficerRows, MedalRows;

    void FormCreate(vcl::TObject* Sender);
    void Timer1Timer(vcl::TObject* Sender);
    void Timer2Timer(vcl::TObject* Sender);
    void Button1Click(vcl::TObject* Sender);
    void Button2Click(vcl::TObject* Sender);
    void Button3Click(vcl::TObject* Sender);
    void CheckBox1Click(vcl::TObject* Sender);
    void ListBox1Click(vcl::TObject* Sender);

    // Writes med.dat, then def.dat; false (after telling the player) when
    // a file could not be written. The values stay in the window.
    bool SaveDefaults();
    // The default template as an index below `templateCount`, or -1.
    int DefaultTemplate(int templateCount) const;

private:
    // Tells every level, count or name that a battle could not take; false
    // when there was any. The levels and counts are left as numbers alone.
    bool CheckShown();
    // What the window shows, as def.dat holds it.
    battle::DefaultLevels ShownDefaults() const;
    void RebuildLists();
    void ApplySavedDefaults();
    void ReadNameList(const char* fileName, vcl::TValueListEditor* editor);
};

extern TForm14* Form14;
