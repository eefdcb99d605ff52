// The main window: the fleets of both sides, their participants, the menus
// that open the other windows, the start of the program and the battle run.
#pragma once
#include <cstdint>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "battle/battleengine.h"
#include "battle/battleinput.h"
#include "battle/battlerun.h"
#include "battle/fleetselection.h"
#include "vcl/vcl.h"

namespace skin {
class TsSkinManager;
class TsScrollBox;
}

class TForm1 : public vcl::TForm, public battle::RunOutput {
public:
    explicit TForm1(vcl::TComponent* owner);
    ~TForm1() override;
    const char* ClassName() const override { return "TForm1"; }

    // ---- Menus.
    vcl::TMainMenu* MainMenu1;
    vcl::TMenuItem *N1, *N7, *N8, *N9, *N25, *N26, *N32, *N33, *N10, *N11;
    vcl::TMenuItem *N2, *N3, *N4, *N27, *N28, *O1, *N5, *N6;
    vcl::TMenuItem *N12, *N13, *N14, *N15, *N16, *N17;
    vcl::TMenuItem* N19;
    vcl::TPopupMenu *PopupMenu1, *PopupMenu2;
    vcl::TMenuItem *N20, *N24, *N29;
    vcl::TMenuItem *N21, *N22, *N23, *N30, *N31;

    // ---- Side 1 (left) and side 2 (right), each in a skinned scroll box.
    skin::TsScrollBox *sScrollBox1, *sScrollBox2;
    vcl::TGroupBox *GroupBox1, *GroupBox2;
    vcl::TLabel *Label1, *Label2;  // "САБ" over the participant lists
    vcl::TLabel *Label3, *Label4;  // over the name fields
    vcl::TListBox *ListBox1, *ListBox2;
    vcl::TEdit *Edit1, *Edit2;
    vcl::TButton *Button1, *Button2, *Button3, *Button4;
    // Unit counts, technology levels, officer levels, medal counts.
    vcl::TValueListEditor *ValueListEditor1, *ValueListEditor2, *ValueListEditor3, *ValueListEditor7;
    vcl::TValueListEditor *ValueListEditor4, *ValueListEditor5, *ValueListEditor6, *ValueListEditor8;
    vcl::TRadioGroup* RadioGroup1;  // "Наш флот": attacks (0) or defends (1)
    vcl::TButton* Button5;          // "Начать расчет"
    vcl::TButton* Button6;          // "Подбор флота"
    vcl::TCheckBox* CheckBox1;      // hidden: the update search was asked for by the player
    vcl::TEdit* Edit3;              // hidden: the program's build number, for the update search

    // The program's skin; stored switched off, the options switch it on.
    skin::TsSkinManager* sSkinManager1;

    // ---- Timers.
    vcl::TTimer* Timer1;   // the battle timer: one whole battle per tick
    vcl::TTimer* Timer2;   // start: the wait window and the fleet editors
    vcl::TTimer* Timer6;   // the run's statistics summary
    vcl::TTimer* Timer7;   // start: the player's defaults into side 1
    vcl::TTimer* Timer8;   // start: window positions
    vcl::TTimer* addnew1;  // a participant named in the side-1 prompt
    vcl::TTimer* addnew2;  // a participant named in the side-2 prompt
    vcl::TTimer* podbor1;  // start of fleet selection (enabled by the warning dialog)
    vcl::TTimer* podbor2;  // fleet selection: the end of a generation
    vcl::TTimer* podbor3;  // fleet selection: the result

    // ---- Events.
    void FormCreate(vcl::TObject* Sender);
    void FormCloseQuery(vcl::TObject* Sender, bool& CanClose);
    void Timer2Timer(vcl::TObject* Sender);
    void Timer8Timer(vcl::TObject* Sender);
    void Button1Click(vcl::TObject* Sender);
    void Button2Click(vcl::TObject* Sender);
    void Button3Click(vcl::TObject* Sender);
    void Button4Click(vcl::TObject* Sender);
    void addnew1Timer(vcl::TObject* Sender);
    void addnew2Timer(vcl::TObject* Sender);
    void ListBox1Click(vcl::TObject* Sender);
    void ListBox2Click(vcl::TObject* Sender);
    void Edit1Change(vcl::TObject* Sender);
    void Edit2Change(vcl::TObject* Sender);
    void Button5Click(vcl::TObject* Sender);
    void Button6Click(vcl::TObject* Sender);
    void Timer1Timer(vcl::TObject* Sender);
    void Timer6Timer(vcl::TObject* Sender);
    void N7Click(vcl::TObject* Sender);
    void N11Click(vcl::TObject* Sender);
    void N26Click(vcl::TObject* Sender);
    void N33Click(vcl::TObject* Sender);
    void podbor1Timer(vcl::TObject* Sender);
    void podbor2Timer(vcl::TObject* Sender);
    void podbor3Timer(vcl::TObject* Sender);

    // ---- Defaults and templates.
    // Levels, medals, the default template and the names from the defaults
    // window into side 1; also "Загрузить по умолчанию".
    void Timer7Timer(vcl::TObject* Sender);
    void N24Click(vcl::TObject* Sender);
    // "Сохранить в шаблон" of side 1 and of side 2.
    void N29Click(vcl::TObject* Sender);
    void N31Click(vcl::TObject* Sender);
    // Database row of every entry of the technology, officer and medal
    // editors (0 for the fixed technologies and officers at their head).
    std::vector<uint16_t> TechEntryRows() const;
    std::vector<uint16_t> OfficerEntryRows() const;
    std::vector<uint16_t> MedalEntryRows() const;
    // A battle tick lets messages through to paint the log and the gauges,
    // so any command may be chosen while a battle is fought. Every command
    // that changes the game database or the battle's input calls this first:
    // during a run it tells the player and answers true, and the command
    // then does nothing.
    bool RefuseWhileRunning();

    // ---- Fleet entry.
    // Rebuilds the eight editors and the line maps from the game database.
    void loadships();
    // Editors into the arrays: side 1 into participant part1, side 2 into part2.
    void saveships(uint8_t part1, uint8_t part2);
    // The arrays of the two participants into the editors.
    void loadship(uint8_t part1, uint8_t part2);

    // The per-participant inputs and line maps the battle reads.
    battle::BattleInput& Input() { return *input_; }
    const std::vector<uint16_t>& ShipRows() const { return ShipRows_; }
    int ShipRowCount() const { return static_cast<int>(ShipRows_.size()); }
    uint8_t CurPart[3] = {0, 0, 0};  // [side]: list index shown in the editors
    int OfficerRowCount = 0, TechRowCount = 0;

    // ---- The run.
    std::string StartDir;
    // True from "Начать расчет" until the run's last battle (or its summary).
    bool RunGoing() const { return runGoing_; }
    // Made when first needed: the database, the options and the log
    // window are created after this window.
    battle::BattleEngine& Engine();
    battle::BattleRun& Run();
    // Resets the run's survivor and payback extremes.
    void clrst();

    // ---- What the run writes besides the battle log.
    void ClearLog() override;
    void ShowLog() override;
    void StatLine(std::string_view line) override;
    void ClearStatistics() override;
    void ShowStatistics() override;
    void SaveLog(const std::string& path) override;
    void SaveStatistics(const std::string& path) override;

    // ---- Fleet selection.
    // Candidate `col` of the selection into side 1's first participant of the battle.
    void saveshipspod(int col);
    void SelectionProgress(int candidate, int battleOfCandidate, std::string_view label) override;
    void SelectionTimes(std::string_view spent, std::string_view estimate) override;
    void SelectionScore(int column, std::string_view score) override;

private:
    void DeclareMenus();
    void DeclareSkinManager();
    void DeclareSide(int side);
    void DeclareTimers();
    void ResetBattle();

    // The names of of.dat or teh.dat into the editors of both sides; a
    // missing or damaged file is told and leaves them empty.
    void ReadNameList(const char* fileName, vcl::TValueListEditor* side1, vcl::TValueListEditor* side2, int& count);
    void AddParticipant(int side, const std::string& name);
    void SwitchParticipant(int side);
    void DeleteParticipant(int side);
    void AskForParticipant(int side);
    // Copies the participant names from the lists and the attacking side.
    void StoreRunInputs();
    void StopRun();
    void CloseIfAskedDuringBattle();
    void DeclareSelectionTimers();
    // The battles of one tick of the battle timer.
    battle::HandOver FightBattles();
    // The next battle of the selection's candidate under evaluation.
    battle::HandOver FightSelectionBattle();
    battle::HandOver SkipEmptyCandidate();
    void EndSelection();

    vcl::TListBox* PartList(int side) const { return side == 1 ? ListBox1 : ListBox2; }
    vcl::TEdit* NameField(int side) const { return side == 1 ? Edit1 : Edit2; }

    std::unique_ptr<battle::BattleInput> input_;
    std::vector<uint16_t> ShipRows_;
    // What the last store wrote where, and from which editors as they stood.
    // A battle run stores the editors before every battle, a thousand times a
    // second; while no editor changed and the arrays still hold what was
    // written, reading the editors again would write the same again.
    static constexpr size_t kFleetEditors = 8;
    struct StoredEditors {
        bool valid = false;
        uint8_t part1 = 0, part2 = 0;
        uint64_t changes[kFleetEditors] = {};
        std::vector<uint16_t> shipRows;
        int medals = 0, officers = 0, techs = 0;
        uint32_t ships[2][battle::kRowCount] = {};
        uint8_t medalCounts[2][battle::kMedalEntries] = {};
        uint16_t officerLevels[2][battle::kOfficerEntries] = {};
        uint16_t techLevels[2][battle::kTechEntries] = {};
    };
    std::unique_ptr<StoredEditors> stored_;
    std::array<vcl::TValueListEditor*, kFleetEditors> FleetEditors() const;
    bool StoredStillHolds(uint8_t part1, uint8_t part2) const;
    void RememberStored(uint8_t part1, uint8_t part2);
    std::unique_ptr<battle::SystemClock> clock_;
    std::unique_ptr<battle::BattleEngine> engine_;
    std::unique_ptr<battle::BattleRun> run_;
    bool runGoing_ = false;
    bool inBattleTick_ = false;      // a battle is being fought right now
    bool closeAfterBattle_ = false;  // the window was closed during that battle
    battle::SelectionSizes selection_;  // as the selection's start read them
};

extern TForm1* Form1;

// RefuseWhileRunning of the main window, for the commands of other windows;
// false while there is no main window yet.
bool RefuseWhileRunning();
