// The options window: the run settings as plain controls, kept in opt.dat.
// Every reader takes the controls' values at the moment it needs them.
#pragma once
#include <array>
#include <string>

#include "battle/battleports.h"
#include "battle/optionsfile.h"
#include "vcl/vcl.h"

class TForm13 : public vcl::TForm, public battle::BattleOptions {
public:
    explicit TForm13(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm13"; }

    vcl::TLabel* Label1;      // "количество раундов"
    vcl::TEdit* Edit2;        // rounds per battle
    vcl::TLabel* Label2;      // "количество боев для статистики"
    vcl::TEdit* Edit1;        // battles per statistics run
    vcl::TLabel* Label3;      // "количество итераций при поборе"
    vcl::TEdit* Edit3;        // fleet selection: generations
    vcl::TLabel* Label4;      // "количество боев при подборе"
    vcl::TEdit* Edit4;        // fleet selection: candidates
    vcl::TCheckBox* CheckBox1;  // hidden mirror of CheckBox4: what the battle loop reads
    vcl::TCheckBox* CheckBox2;  // "сохранять логи"
    vcl::TCheckBox* CheckBox3;  // "Выводить полную информацию в лог"
    vcl::TCheckBox* CheckBox4;  // "Использовать статистический модуль" (shown)
    vcl::TCheckBox* CheckBox5;  // "Использовать оформление"
    vcl::TCheckBox* CheckBox6;  // "Оценивать целесобразность боя"
    vcl::TCheckBox* CheckBox7;  // "Проверять наличие обновлений."
    vcl::TCheckBox* CheckBox8;  // "Запоминать положения окон(Главное и окна логов)"
    vcl::TButton* Button1;    // "сохранить"
    vcl::TButton* Button2;    // "выйти без сохранения"

    // Reads opt.dat into the controls.
    void FormCreate(vcl::TObject* Sender);
    // Remembers the values the window opens with.
    void FormShow(vcl::TObject* Sender);
    // Writes opt.dat and closes.
    void Button1Click(vcl::TObject* Sender);
    // Reads opt.dat again and closes: unsaved changes are undone. What the
    // file cannot give (it is missing or damaged) goes back to the values
    // the window was opened with.
    void Button2Click(vcl::TObject* Sender);
    void CheckBox4Click(vcl::TObject* Sender);
    // Skinning on or off, and the label colours that follow it.
    void CheckBox5Click(vcl::TObject* Sender);

    // What the battle reads, taken from the controls at the call.
    std::string BattlesText() const override;
    std::string RoundsText() const override;
    bool Statistics() const override;
    bool SaveLogs() const override;
    bool FullLog() const override;
    bool Payback() const override;
    std::string GenerationsText() const override;
    std::string CandidatesText() const override;

private:
    // The values as opt.dat holds them, line by line.
    using OptionLines = std::array<std::string, battle::kOptionLineCount>;
    OptionLines CurrentLines() const;
    void ApplyLines(const OptionLines& lines);
    // Reads opt.dat into the controls; a line the file cannot give takes
    // its value from `fallback`, which `fallbackName` names for the player.
    void ReadOptions(const OptionLines& fallback, const char* fallbackName);
    // False (after telling the player) when a number was refused or the
    // file could not be written.
    bool WriteOptions();

    OptionLines opened_;
};

extern TForm13* Form13;
