// How the battle talks to the windows around it: the options it reads and
// the log and progress gauges it writes.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace battle {

// The options window. Values are read when they are needed (nothing else runs
// while a battle is fought, so one battle sees one set of values).
class BattleOptions {
public:
    virtual ~BattleOptions() = default;
    virtual std::string BattlesText() const = 0;      // battles per run, as typed
    virtual std::string RoundsText() const = 0;       // rounds per battle, as typed
    virtual bool Statistics() const = 0;              // statistics module on
    virtual bool SaveLogs() const = 0;                // save log files
    virtual bool FullLog() const = 0;                 // every shot and survivor in the log
    virtual bool Payback() const = 0;                 // estimate the payback of a battle
    virtual std::string GenerationsText() const = 0;  // fleet selection: generations
    virtual std::string CandidatesText() const = 0;   // fleet selection: candidates
};

// Options held as plain values.
struct BattleOptionValues : BattleOptions {
    std::string battles = "10";
    std::string rounds = "8";
    bool statistics = false;
    bool saveLogs = false;
    bool fullLog = false;
    bool payback = false;
    std::string generations = "1";
    std::string candidates = "1";

    std::string BattlesText() const override { return battles; }
    std::string RoundsText() const override { return rounds; }
    bool Statistics() const override { return statistics; }
    bool SaveLogs() const override { return saveLogs; }
    bool FullLog() const override { return fullLog; }
    bool Payback() const override { return payback; }
    std::string GenerationsText() const override { return generations; }
    std::string CandidatesText() const override { return candidates; }
};

// The log window: the battle log and its two gauges.
class BattleOutput {
public:
    virtual ~BattleOutput() = default;
    virtual void Log(std::string_view line) = 0;
    // Progress through the units of one participant's attacks.
    virtual void SetUnitGauge(int64_t maximum, std::string_view suffix) = 0;
    virtual void SetUnitProgress(int64_t position) = 0;
    // Progress through the rounds of the battle.
    virtual void SetRoundGauge(int64_t maximum, std::string_view suffix) = 0;
    virtual void SetRoundProgress(int64_t position) = 0;
};

}  // namespace battle
