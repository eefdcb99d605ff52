// The unit editor: one unit row of the game database in fields, its
// abilities and special attacks in check lists and its rapid fire against
// every unit type; saving writes the row and DataBase.dat.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "battle/unitcodes.h"
#include "vcl/vcl.h"

class TForm2 : public vcl::TForm {
public:
    explicit TForm2(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm2"; }

    vcl::TMainMenu* MainMenu1;
    vcl::TMenuItem *N1, *N2, *N8, *N3, *N4, *N5, *N6, *N7, *N12;

    vcl::TSpinEdit* SpinEdit1;  // "ID": the row that is loaded and saved
    vcl::TEdit* Edit7;          // name
    vcl::TEdit *Edit1, *Edit2, *Edit3;  // cost: metal, minerals, vespene
    vcl::TEdit *Edit4, *Edit6, *Edit5;  // structure, attack, shields
    vcl::TRadioGroup* RadioGroup1;      // race
    vcl::TRadioGroup* RadioGroup2;      // purpose: attack, defence, building
    vcl::TRadioGroup* RadioGroup5;      // ships: light .. super-heavy
    vcl::TEdit *Edit17, *Edit18;        // buildings: cost growth, level of entry into battle
    vcl::TLabel *Label17, *Label18;
    vcl::TEdit *Edit8, *Edit9;          // shield regeneration, concentrated shot
    vcl::TEdit *Edit10, *Edit11;        // restoration in attack, in defence
    vcl::TEdit *Edit15, *Edit16;        // debris in attack, in defence
    vcl::TEdit *Edit12, *Edit13, *Edit14;  // delay, EMP attack, attack period
    vcl::TCheckListBox* CheckListBox1;  // abilities (spab.dat)
    vcl::TCheckListBox* CheckListBox2;  // special attacks (spat.dat)
    vcl::TValueListEditor* ValueListEditor1;  // "Скорострел по": against every unit row
    vcl::TButton* Button1;  // "Сохранить "
    vcl::TButton* Button2;  // "Сохранить и закрыть"
    vcl::TButton* Button3;  // "Редактировать скорострел от"
    vcl::TTimer* Timer1;    // loads the row of SpinEdit1

    void Timer1Timer(vcl::TObject* Sender);
    void Button1Click(vcl::TObject* Sender);
    void Button2Click(vcl::TObject* Sender);
    void Button3Click(vcl::TObject* Sender);
    void RadioGroup2Click(vcl::TObject* Sender);
    void N2Click(vcl::TObject* Sender);
    void N8Click(vcl::TObject* Sender);
    void N4Click(vcl::TObject* Sender);
    void N5Click(vcl::TObject* Sender);
    void N7Click(vcl::TObject* Sender);
    void N12Click(vcl::TObject* Sender);

    // The row typed into SpinEdit1; false (after telling the player) when
    // the text is no unit row.
    bool EditedRow(int& row);
    // Rows of the rapid-fire list, in list order.
    const std::vector<uint16_t>& RapidFireRows() const { return rapidFireRows_; }

private:
    void DeclareMenu();
    void DeclareFields();
    // Writes the window into the row and saves; false when a value was
    // refused or DataBase.dat could not be written.
    bool StoreUnit();
    // Fills a check list from its name file and checks the codes of the row.
    void LoadCodes(vcl::TCheckListBox* list, const char* fileName, int firstCol, int row,
                   std::array<std::string, battle::kCodesPerKind>& kept, std::vector<std::string>& notes);
    void StoreCodes(vcl::TCheckListBox* list, int firstCol, int row,
                    const std::array<std::string, battle::kCodesPerKind>& kept);
    void LoadChoice(vcl::TRadioGroup* group, int col, int row, const char* what, std::vector<std::string>& notes);

    std::vector<uint16_t> rapidFireRows_;
    // Codes of the loaded row that name no item of the lists; saved back as they are.
    std::array<std::string, battle::kCodesPerKind> keptAbilities_, keptAttacks_;
};

extern TForm2* Form2;
