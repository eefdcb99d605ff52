// A simulation run around the battle engine: the start of a run, one whole
// battle as the battle timer fights it, the close of every battle (summary,
// debris, payback, outcome, log file, run extremes) and the run's statistics
// summary. The window that owns the timers enables what `HandOver` says.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "battle/battleengine.h"
#include "battle/battleports.h"

namespace battle {

// What the battle timer enables after a battle.
enum class HandOver {
    Nothing,          // the run was one battle
    BattleTimer,      // the next battle (or the same candidate again)
    StatisticsTimer,  // the run's summary
    SelectionTimer,   // fleet selection: the next generation
};

struct LocalTime {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// The clock of a run; tests bring their own.
class RunClock {
public:
    virtual ~RunClock() = default;
    virtual int64_t Milliseconds() const = 0;  // for elapsed times
    virtual LocalTime Now() const = 0;         // for file names
};

class SystemClock : public RunClock {
public:
    int64_t Milliseconds() const override;
    LocalTime Now() const override;
};

// The windows a run writes besides the battle log.
class RunOutput {
public:
    virtual ~RunOutput() = default;
    virtual void ClearLog() = 0;
    virtual void ShowLog() = 0;
    virtual void StatLine(std::string_view line) = 0;
    virtual void ClearStatistics() = 0;
    virtual void ShowStatistics() = 0;
    // Save every line of the battle log or of the statistics to a file;
    // a failure throws rtl::EInOutError.
    virtual void SaveLog(const std::string& path) = 0;
    virtual void SaveStatistics(const std::string& path) = 0;
    // Fleet selection: progress of the battles, the times after a candidate,
    // and the candidate's score in the selection grid (column, row 600).
    virtual void SelectionProgress(int candidate, int battleOfCandidate, std::string_view label) {}
    virtual void SelectionTimes(std::string_view spent, std::string_view estimate) {}
    virtual void SelectionScore(int column, std::string_view score) {}
};

inline constexpr int kPodborBattles = 5;  // battles per fleet-selection candidate
inline constexpr double kNoLossPayback = 1e30;
inline constexpr double kNoLossScore = 1e8;
inline constexpr int kScoreRow = 600;

// The state of a run that outlives one battle.
struct RunState {
    std::string StartDir;  // base of the logs folder
    uint16_t StartHour = 0, StartMin = 0, StartSec = 0, StartMSec = 0;
    int64_t BattleStart = 0;  // RunClock milliseconds
    uint16_t Wins = 0, Draws = 0, Losses = 0;

    // The battle just settled.
    int64_t DebrisMetal = 0, DebrisMinerals = 0, OwnLoss = 0;

    // Extremes over the run's battles.
    uint32_t MaxAlive[kSideSlots][kParticipantSlots][kRowCount] = {};
    uint32_t MinAlive[kSideSlots][kParticipantSlots][kRowCount] = {};
    double PaybackMax = 0, PaybackMin = 0;
    int64_t DebrisMetalMax = 0, DebrisMetalMin = 0, DebrisMineralsMax = 0, DebrisMineralsMin = 0;

    // Fleet selection.
    double PodborScore[kPodborBattles + 1] = {};  // battles 1..5 of the candidate
    uint16_t PodborIter = 1;
    int64_t PodborStart = 0;  // RunClock milliseconds
    // Candidates per generation and generations, as the selection's start
    // read them from the options: what is typed there later changes nothing.
    int PodborCandidates = 0, PodborGenerations = 0;
};

class BattleRun {
public:
    BattleRun(BattleEngine& engine, const BattleOptions& options, BattleOutput& log, RunOutput& output,
              const RunClock& clock);

    RunState State;

    // Start of a run: battle 1, the start time, cleared counts and statistics.
    void StartRun();
    // One whole battle. `storeInputs` moves the editors into the engine's
    // inputs; it runs after the first log line, as the editors are read then.
    HandOver FightBattle(const std::function<void()>& storeInputs = {});
    // The close of the battle after its last round.
    HandOver EndBattle();
    // The run's summary into the statistics window (and its file).
    void WriteSummary();
    // Clears the survivor extremes and the payback extremes.
    void clrst();

    // File names of the run, from the start directory, today's date and the
    // run's start time.
    std::string BattleLogPath() const;
    std::string StatisticsPath() const;
    // The payback percent with two decimals: Round(10000 * debris / loss) / 100.
    static double Payback(int64_t debris, int64_t ownLoss);

private:
    void DecayAndRemove();
    void ComputeDebris();
    void WriteSummaryLines();
    // The survivor line of every type the participant entered.
    std::vector<std::string> TypeLines(int side, int participant) const;
    void WritePayback();
    void WriteOutcome();
    void SaveBattleLog();
    void UpdateRunExtremes();
    HandOver NextAfterBattle();
    HandOver NextInSelection();
    struct SelectionCount {
        int64_t candidates = 0, total = 0, done = 0;
    };
    SelectionCount CountSelection() const;
    std::string RunFilePrefix() const;
    void RequireLogsFolder() const;
    void Log(std::string_view line) { log_.Log(line); }
    void Stat(std::string_view line) { output_.StatLine(line); }

    BattleEngine& engine_;
    const BattleOptions& options_;
    BattleOutput& log_;
    RunOutput& output_;
    const RunClock& clock_;
};

}  // namespace battle
