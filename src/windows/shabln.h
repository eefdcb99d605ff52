// The fleet template editor: up to 20 named sets of unit counts, kept in
// Shbl.dat, loaded into either side of the main window through the two
// template pickers and saved from either side.
#pragma once
#include <cstdint>
#include <vector>

#include "battle/templatefile.h"
#include "vcl/vcl.h"

class TForm15 : public vcl::TForm {
public:
    explicit TForm15(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm15"; }

    vcl::TListBox* ListBox1;                  // the template names
    vcl::TEdit* Edit1;                        // the current template's name
    vcl::TValueListEditor* ValueListEditor1;  // unit counts of the current template
    vcl::TButton* Button1;                    // "Новый шаблон"
    vcl::TButton* Button2;                    // "Сохранить данные"
    vcl::TButton* Button3;                    // "Удалить шаблон"
    vcl::TTimer* Timer1;                      // start: the unit list and Shbl.dat

    // Slots 0..20; the first TemplateTotal are templates.
    std::vector<battle::FleetTemplate> Templates;
    int TemplateTotal = 0;
    uint8_t Current = 0;  // the template the editor shows
    // Database row of every entry of the unit list.
    std::vector<uint16_t> UnitRows;

    void Timer1Timer(vcl::TObject* Sender);
    void ListBox1Click(vcl::TObject* Sender);
    void Edit1Change(vcl::TObject* Sender);
    void Button1Click(vcl::TObject* Sender);
    void Button2Click(vcl::TObject* Sender);
    void Button3Click(vcl::TObject* Sender);

    // The shown counts into the current template. An entry that is no
    // whole number of 0..4294967295 is told, with its unit and value, and
    // nothing is stored: false.
    bool saveships();
    // The current template into the shown counts.
    void loadship();
    // Selects the last template of the list.
    void p();

    // A new template of that name, not made current; false (after telling
    // the player) when 20 exist.
    bool AddTemplate(const std::string& name);
    // Makes template `index` current and copies its counts into `target`,
    // whose entries list `targetRows`; false when there is no such template
    // or the editor, shown, holds a count to mend (it comes to the front).
    // A closed editor holding one stays as it is and the stored counts load.
    bool OpenTemplate(int index, vcl::TValueListEditor* target, const std::vector<uint16_t>& targetRows);
    // A new template from a side's unit list, shown in this window for
    // naming and saving; nothing when no template can be added.
    void SaveAsTemplate(vcl::TValueListEditor* source, const std::vector<uint16_t>& sourceRows);

private:
    void ListUnits();
    void ShowTemplateNames();
    // The template names into the pickers and the defaults window.
    void CopyNamesToOtherWindows();
    // No write before Shbl.dat has been read: a write then reads it instead.
    bool WriteTemplates(const std::vector<battle::FleetTemplate>& templates);
    // The shown counts by row; returns how many entries are no count, names
    // them in `bad` and makes the first of them the current cell.
    int ShownCounts(std::vector<uint32_t>& counts, std::string& bad);

    bool fileRead_ = false;

    // Shbl.dat was damaged and no copy of it could be made yet: it is not
    // replaced until one is.
    bool keepDamagedFile_ = false;
};

extern TForm15* Form15;
