// The unit information window: a unit type's base structure, shields and
// attack, the values the player's default levels give it, and its rapid
// fire against other units and theirs against it. It changes nothing.
#pragma once
#include <cstdint>
#include <vector>

#include "battle/unitinfo.h"
#include "vcl/vcl.h"

class Tinfoform : public vcl::TForm {
public:
    explicit Tinfoform(vcl::TComponent* owner);
    const char* ClassName() const override { return "Tinfoform"; }

    vcl::TListBox* ListBox1;  // unit types that are not buildings
    vcl::TStringGrid* par;    // base and actual structure, shields, attack
    vcl::TMemo* Memo1;        // "скорострел по"
    vcl::TMemo* Memo2;        // "скорострел от"
    vcl::TButton* Button1;    // "Закрыть"
    vcl::TTimer* Timer1;      // 1 s after start, once: the lists

    void FormCreate(vcl::TObject* Sender);
    void FormShow(vcl::TObject* Sender);
    void Timer1Timer(vcl::TObject* Sender);
    void ListBox1Click(vcl::TObject* Sender);
    void Button1Click(vcl::TObject* Sender);

    const std::vector<uint16_t>& UnitRows() const { return unitRows_; }

private:
    void ListUnits();
    // The defaults window's levels against this window's rows; false (after
    // telling the player) when one is not a level.
    bool ReadLevels(battle::PlayerLevels& levels);

    std::vector<uint16_t> unitRows_, medalRows_, techRows_, officerRows_;
};

extern Tinfoform* infoform;
