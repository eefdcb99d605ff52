#include "battle/battlerun.h"

#include <chrono>
#include <ctime>

#include "rtl/convert.h"
#include "rtl/errors.h"
#include "rtl/textfile.h"

namespace battle {

using rtl::IntToStr;

int64_t SystemClock::Milliseconds() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

LocalTime SystemClock::Now() const {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&seconds, &tm);
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.millisecond = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    return t;
}

BattleRun::BattleRun(BattleEngine& engine, const BattleOptions& options, BattleOutput& log, RunOutput& output,
                     const RunClock& clock)
    : engine_(engine), options_(options), log_(log), output_(output), clock_(clock) {}

void BattleRun::clrst() {
    for (auto& side : State.MaxAlive)
        for (auto& participant : side) std::fill(std::begin(participant), std::end(participant), 0u);
    for (auto& side : State.MinAlive)
        for (auto& participant : side) std::fill(std::begin(participant), std::end(participant), 0u);
    State.PaybackMax = 0;
    State.PaybackMin = 0;
}

void BattleRun::StartRun() {
    engine_.BattleNo = 1;
    const LocalTime now = clock_.Now();
    State.StartHour = static_cast<uint16_t>(now.hour);
    State.StartMin = static_cast<uint16_t>(now.minute);
    State.StartSec = static_cast<uint16_t>(now.second);
    State.StartMSec = static_cast<uint16_t>(now.millisecond);
    if (options_.SaveLogs()) output_.ClearStatistics();
    State.Wins = State.Losses = State.Draws = 0;
    clrst();
}

HandOver BattleRun::FightBattle(const std::function<void()>& storeInputs) {
    if (options_.SaveLogs() && !engine_.PodborMode) output_.ClearLog();
    State.BattleStart = clock_.Milliseconds();
    Log("Инициация модуля загрузки");
    if (storeInputs) storeInputs();
    output_.ShowLog();
    Log("Выгрузка юнитов в память");
    try {
        engine_.PrepareBattle();
        if (engine_.PodborMode) {
            const SelectionCount count = CountSelection();
            output_.SelectionProgress(engine_.BattleNo, engine_.PodborBattle - 1,
                                      "Бой №" + IntToStr(count.done) + " из " + IntToStr(count.total));
        }
        engine_.FightRounds();
    } catch (...) {
        // A battle stopped by an error leaves no records behind.
        engine_.FreeUnits();
        throw;
    }
    return EndBattle();
}

HandOver BattleRun::EndBattle() {
    try {
        DecayAndRemove();
        ComputeDebris();
        WriteSummaryLines();
        State.OwnLoss = 0;
        for (int p = 0; p < engine_.Input.PartCount[1]; ++p)
            State.OwnLoss = rtl::CheckedAdd(State.OwnLoss, engine_.LossTotal[1][p]);
        WritePayback();
        WriteOutcome();
        if (options_.SaveLogs() && !engine_.PodborMode) SaveBattleLog();
        Stat("---------------------------");
        log_.SetRoundProgress(int64_t{engine_.Rounds()} + 1);
    } catch (...) {
        engine_.FreeUnits();
        throw;
    }
    engine_.FreeUnits();
    if (engine_.PodborMode) return NextInSelection();
    if (!options_.Statistics()) return HandOver::Nothing;
    UpdateRunExtremes();
    return NextAfterBattle();
}

// Organic units that are still bleeding at the end do not survive it.
void BattleRun::DecayAndRemove() {
    for (int side = 1; side <= 2; ++side) {
        for (int p = 0; p < engine_.Input.PartCount[side]; ++p) {
            ParticipantUnits& u = engine_.Units(side, p);
            for (const UnitClass& c : u.Classes)
                for (uint32_t k = c.First; c.Organic && k < c.First + c.Count; ++k)
                    if (u.RegenAt(k) < -5) u.Records[k].Destroyed = 1;
        }
    }
    engine_.RemoveDestroyedUnits(false);
}

void BattleRun::ComputeDebris() {
    State.DebrisMetal = State.DebrisMinerals = 0;
    const DataTable& table = engine_.Table();
    for (int side = 1; side <= 2; ++side) {
        const int percentCol = side == engine_.Input.AttackingSide ? kColDebrisAttacking : kColDebrisDefending;
        for (int p = 0; p < engine_.Input.PartCount[side]; ++p) {
            for (uint16_t row : engine_.Units(side, p).Rows) {
                const UnitType& type = engine_.Types()[row];
                // A building counts with its level as the count.
                const int64_t lost = int64_t{engine_.Input.ShipCount[side][p][row]} - engine_.TypeAlive[side][p][row];
                const int64_t percent = table.IntCell(percentCol, row);
                const int64_t metal = rtl::CheckedMul(rtl::CheckedMul(lost, type.metal.Get()), percent);
                const int64_t minerals = rtl::CheckedMul(rtl::CheckedMul(lost, type.minerals.Get()), percent);
                State.DebrisMetal = rtl::CheckedAdd(State.DebrisMetal, rtl::Round(metal * 0.01L));
                State.DebrisMinerals = rtl::CheckedAdd(State.DebrisMinerals, rtl::Round(minerals * 0.01L));
            }
        }
    }
}

std::vector<std::string> BattleRun::TypeLines(int side, int participant) const {
    std::vector<std::string> lines;
    for (uint16_t row : engine_.Units(side, participant).Rows) {
        const UnitType& type = engine_.Types()[row];
        const uint32_t count = engine_.Input.ShipCount[side][participant][row];
        // A building below the level from which it fights is not listed.
        if (type.building && count < type.buildingLevel.Get()) continue;
        lines.push_back("      " + engine_.TypeName(row) + " " + IntToStr(engine_.TypeAlive[side][participant][row]) +
                        " из " + (type.building ? std::string("1") : IntToStr(count)));
    }
    return lines;
}

void BattleRun::WriteSummaryLines() {
    Log("Итоги боя:");
    Stat("Бой № " + IntToStr(engine_.BattleNo));
    Stat("Уцелелевшие юниты:");
    Log("Уцелелевшие юниты:");
    const bool first = engine_.BattleNo == 1;
    for (int side = 1; side <= 2; ++side) {
        const std::string sideLine = "сторона " + IntToStr(side);
        Log(sideLine);
        Stat(sideLine);
        for (int p = 0; p < engine_.Input.PartCount[side]; ++p) {
            const std::string player = "Игрок: " + engine_.Input.PartName[side][p];
            const std::vector<std::string> types = TypeLines(side, p);
            Log(player);
            for (const auto& line : types) Log(line);
            Stat(player);
            for (const auto& line : types) Stat(line);
            Log("Потеряно единиц: " + IntToStr(engine_.LossTotal[side][p]));
            const uint32_t* alive = engine_.TypeAlive[side][p];
            uint32_t* maxAlive = State.MaxAlive[side][p];
            uint32_t* minAlive = State.MinAlive[side][p];
            for (int row = 0; row <= kLastRow; ++row) {
                if (alive[row] > maxAlive[row] || first) maxAlive[row] = alive[row];
                if (alive[row] < minAlive[row] || first) minAlive[row] = alive[row];
            }
        }
    }
    Log("Обломки на орбите");
    Log("Метал:" + IntToStr(State.DebrisMetal));
    Log("Минералы:" + IntToStr(State.DebrisMinerals));
    Log("");
}

double BattleRun::Payback(int64_t debris, int64_t ownLoss) {
    return static_cast<double>(rtl::Round(10000.0L * debris / ownLoss)) / 100;
}

void BattleRun::WritePayback() {
    const int64_t debris = rtl::CheckedAdd(State.DebrisMetal, State.DebrisMinerals);
    std::string line;
    if (State.OwnLoss > 0 && options_.Payback())
        line = "Окупаемость боя - " + rtl::FloatToStr(Payback(debris, State.OwnLoss)) + "%";
    else if (State.OwnLoss == 0)
        line = "Вы не несетете потерь";
    if (!line.empty()) Log(line);
    Log("");
    Stat("");
    if (!line.empty()) Stat(line);
    if (engine_.PodborMode) {
        if (engine_.PodborBattle < 1 || engine_.PodborBattle > kPodborBattles) throw rtl::ERangeError();
        State.PodborScore[engine_.PodborBattle] =
            State.OwnLoss == 0 ? kNoLossScore : static_cast<double>(debris) / static_cast<double>(State.OwnLoss);
    }
    Stat("");
}

void BattleRun::WriteOutcome() {
    const uint8_t own = engine_.SideAlive[1], enemy = engine_.SideAlive[2];
    auto outcome = [&](void (BattleRun::*write)(std::string_view)) {
        if (own > enemy) {
            (this->*write)("ПОБЕДА");
        } else if (own == enemy) {
            (this->*write)("НИЧЬЯ");
            if (own == 0) (this->*write)("СВОБОДА! РАВЕНСТВО! УПЯЧКА!");
        } else {
            (this->*write)("ПОРАЖЕНИЕ");
        }
    };
    outcome(&BattleRun::Log);
    const int64_t elapsed = clock_.Milliseconds() - State.BattleStart;
    Log("Затрачено секунд на симуляцию:" + rtl::FloatToStr(elapsed / 1000.0L));
    outcome(&BattleRun::Stat);
    if (own > enemy)
        ++State.Wins;
    else if (own == enemy)
        ++State.Draws;
    else
        ++State.Losses;
}

std::string BattleRun::RunFilePrefix() const {
    const LocalTime today = clock_.Now();
    return State.StartDir + "\\logs\\Sim_ot_" + rtl::DateToStr(today.year, today.month, today.day) + "_" +
           IntToStr(State.StartHour) + ";" + IntToStr(State.StartMin) + ";" + IntToStr(State.StartSec);
}

std::string BattleRun::BattleLogPath() const {
    return RunFilePrefix() + "_log#" + IntToStr(engine_.BattleNo) + ".txt";
}

std::string BattleRun::StatisticsPath() const { return RunFilePrefix() + "_stat_log.txt"; }

// The logs folder comes with the installation; without it the run stops
// with a message that says what is missing.
void BattleRun::RequireLogsFolder() const {
    const std::string folder = State.StartDir + "\\logs";
    if (!rtl::DirectoryExists(folder))
        throw rtl::EInOutError("Не найдена папка для логов " + folder +
                               ". Создайте ее или выключите \"сохранять логи\" в настройках.");
}

void BattleRun::SaveBattleLog() {
    RequireLogsFolder();
    output_.SaveLog(BattleLogPath());
}

void BattleRun::UpdateRunExtremes() {
    const bool first = engine_.BattleNo == 1;
    if (State.OwnLoss <= 0) {
        State.PaybackMax = kNoLossPayback;
    } else {
        const double payback =
            Payback(rtl::CheckedAdd(State.DebrisMetal, State.DebrisMinerals), State.OwnLoss);
        if (payback < State.PaybackMin || first) State.PaybackMin = payback;
        if (payback > State.PaybackMax || first) State.PaybackMax = payback;
    }
    if (State.DebrisMetal > State.DebrisMetalMax || first) State.DebrisMetalMax = State.DebrisMetal;
    if (State.DebrisMinerals > State.DebrisMineralsMax || first) State.DebrisMineralsMax = State.DebrisMinerals;
    if (State.DebrisMetal < State.DebrisMetalMin || first) State.DebrisMetalMin = State.DebrisMetal;
    if (State.DebrisMinerals < State.DebrisMineralsMin || first) State.DebrisMineralsMin = State.DebrisMinerals;
}

HandOver BattleRun::NextAfterBattle() {
    // The battle number is 16 bits wide: a run longer than that stops
    // instead of counting from 0 again for ever.
    engine_.BattleNo = rtl::CheckedNarrow<uint16_t>(int64_t{engine_.BattleNo} + 1);
    return rtl::StrToInt(options_.BattlesText()) < engine_.BattleNo ? HandOver::StatisticsTimer
                                                                    : HandOver::BattleTimer;
}

namespace {

std::string MinutesAndSeconds(int64_t milliseconds) {
    const int64_t seconds = milliseconds / 1000;
    return IntToStr(seconds / 60) + " мин " + IntToStr(seconds % 60) + " сек";
}

}  // namespace

// Battles of the whole selection, and how many of them are done.
BattleRun::SelectionCount BattleRun::CountSelection() const {
    SelectionCount count;
    count.candidates = State.PodborCandidates;
    const int64_t generations = State.PodborGenerations;
    const int64_t perGeneration = rtl::CheckedMul(count.candidates, kPodborBattles);
    count.total = rtl::CheckedMul(perGeneration, generations);
    count.done = rtl::CheckedAdd(rtl::CheckedMul(perGeneration, State.PodborIter - 1),
                                 engine_.PodborBattle + (int64_t{engine_.BattleNo} - 1) * kPodborBattles);
    return count;
}

HandOver BattleRun::NextInSelection() {
    engine_.PodborBattle = rtl::CheckedNarrow<uint16_t>(int64_t{engine_.PodborBattle} + 1);
    if (engine_.PodborBattle <= kPodborBattles) return HandOver::BattleTimer;

    output_.ClearLog();
    const SelectionCount count = CountSelection();
    const int64_t spent = clock_.Milliseconds() - State.PodborStart;
    const int64_t estimate =
        count.done > 0 ? static_cast<int64_t>(static_cast<long double>(spent) * count.total / count.done) : 0;
    output_.SelectionTimes("Времени потрачено: " + MinutesAndSeconds(spent),
                           "Оценочное время вычисления: " + MinutesAndSeconds(estimate));

    engine_.BattleNo = rtl::CheckedNarrow<uint16_t>(int64_t{engine_.BattleNo} + 1);
    engine_.PodborBattle = 1;
    double sum = 0;
    for (int b = 1; b <= kPodborBattles; ++b) sum += State.PodborScore[b];
    output_.SelectionScore(engine_.BattleNo - 2, rtl::FloatToStr(sum / kPodborBattles));
    return count.candidates < engine_.BattleNo ? HandOver::SelectionTimer : HandOver::BattleTimer;
}

void BattleRun::WriteSummary() {
    output_.ShowStatistics();
    Stat("По итогам симуляции");
    const DataTable& table = engine_.Table();
    struct Block {
        const char* title;
        bool best, worst;
    };
    const Block blocks[] = {{"Возможные потери", true, true}, {"Наилучший случай", true, false},
                            {"Наихудший случай", false, true}};
    for (int side = 1; side <= 2; ++side) {
        Stat("Сторона " + IntToStr(side));
        for (const Block& block : blocks) {
            Stat(block.title);
            for (int p = 0; p < engine_.Input.PartCount[side]; ++p) {
                Stat("Игрок: " + engine_.Input.PartName[side][p]);
                for (int row = 0; row <= kLastRow; ++row) {
                    const int64_t count = engine_.Input.ShipCount[side][p][row];
                    if (count == 0) continue;
                    const bool building = table.Cell(kColPurpose, row) == kPurposeBuilding;
                    if (building && count < table.IntCell(kColBuildingLevel, row)) continue;
                    const int64_t entered = building ? 1 : count;
                    const int64_t leastLost = entered - State.MaxAlive[side][p][row];
                    const int64_t mostLost = entered - State.MinAlive[side][p][row];
                    std::string line = "    " + table.Cell(kColName, row) + " ";
                    if (block.best && block.worst)
                        line += IntToStr(leastLost) + "-" + IntToStr(mostLost);
                    else
                        line += IntToStr(block.best ? leastLost : mostLost);
                    Stat(line + " из " + IntToStr(entered));
                }
            }
        }
    }
    Stat("Всего боев:");
    Stat("Победных -- " + IntToStr(State.Wins));
    Stat("Ничейных -- " + IntToStr(State.Draws));
    Stat("Проигрышных -- " + IntToStr(State.Losses));
    Stat("");
    Stat("Оценка обломков:");
    Stat("Металл max:" + IntToStr(State.DebrisMetalMax) + " min:" + IntToStr(State.DebrisMetalMin));
    Stat("Минералы max:" + IntToStr(State.DebrisMineralsMax) + " min:" + IntToStr(State.DebrisMineralsMin));
    if (options_.Payback()) {
        Stat("");
        if (State.PaybackMax < 1e20) {
            Stat("Окупаемость боя");
            Stat("Наибольшая: " + rtl::FloatToStr(State.PaybackMax) + "%");
            Stat("Наименьшая: " + rtl::FloatToStr(State.PaybackMin) + "%");
        } else {
            Stat("Невозможно оценить окупаемость боя т.к. вы не несете значительных потерь");
        }
    }
    if (options_.SaveLogs()) {
        // On failure the summary stays in the window and the extremes stay
        // until the next run's start clears them.
        RequireLogsFolder();
        output_.SaveStatistics(StatisticsPath());
    }
    clrst();
}

}  // namespace battle
