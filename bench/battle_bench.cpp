// Speed and memory of the battle engine. One line per scenario, key=value.
//   big:       1,000,000 ships against 1,000,000 defence units, 6 rounds
//   selection: 2,000 small battles as the fleet selection runs them
//   mixed:     200,000 units a side with every ability and special attack
//   podbor:    a fleet selection with the default options (100 candidates,
//              4 generations, 5 battles each) within 4,800 units against 1,170
//   engine-selection, engine-statistics, engine-endless: the battles of the
//              benchmarks that drive the program's windows (bench/run
//              window-selection, window-statistics, window-endless), fought
//              here without windows (saving the logs the program saves);
//              the seed of the draws comes from NORVIX_BENCH_SEED
//   rounds:    a battle no side can win, one "Грузовой челнок" a side, the
//              full log on and saved: at the most rounds the options take,
//              and at ten times as many for the memory, which must not grow
// Arguments name the scenarios to run; none runs the first four.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "battle/battleengine.h"
#include "battle/battlerun.h"
#include "battle/fleetselection.h"
#include "battle/datatable.h"
#include "battle/optionsfile.h"
#include "rtl/convert.h"
#include "rtl/random.h"
#include "rtl/textfile.h"
#include "window_scenarios.h"

using namespace battle;

namespace {

// The battle log. Kept only where a run saves it as the log window does.
class NullOutput : public BattleOutput {
public:
    bool keepLines = false;
    std::vector<std::string> lines;
    void Log(std::string_view line) override {
        if (keepLines) lines.emplace_back(line);
    }
    void SetUnitGauge(int64_t, std::string_view) override {}
    void SetUnitProgress(int64_t) override {}
    void SetRoundGauge(int64_t, std::string_view) override {}
    void SetRoundProgress(int64_t) override {}
};

using Cells = std::initializer_list<std::pair<int, const char*>>;

// A unit type: structure, attack, shields, purpose, then any other columns.
void SetType(DataTable& table, int row, const char* name, const char* structure, const char* attack,
             const char* shields, const char* purpose, Cells more = {}) {
    table.SetCell(kColKind, row, "1");
    table.SetCell(kColName, row, name);
    table.SetCell(kColStructure, row, structure);
    table.SetCell(kColAttack, row, attack);
    table.SetCell(kColShields, row, shields);
    table.SetCell(kColPurpose, row, purpose);
    table.SetCell(kColShieldRegen, row, "100");
    for (int col : {kColMetal, kColMinerals, kColVespene}) table.SetCell(col, row, "1000");
    for (auto [col, value] : more) table.SetCell(col, row, value);
}

// Peak resident memory of the process, in bytes.
int64_t PeakResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
    return 0;
}

// Starts the peak anew from the present resident size.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Bench {
    DataTable table;
    BattleOptionValues options;
    NullOutput output;
    rtl::Random random{20240601};
    BattleEngine engine{table, options, output, random};

    explicit Bench(std::string rounds) {
        table.FillDefaults();
        options.rounds = std::move(rounds);
    }

    // Prepares and fights one battle; returns its seconds.
    double Fight() {
        const auto start = std::chrono::steady_clock::now();
        engine.PrepareBattle();
        engine.FightRounds();
        return Seconds(start);
    }
};

void Big() {
    ResetPeak();
    auto bench = std::make_unique<Bench>("6");
    SetType(bench->table, 201, "Крейсер", "40000", "50", "10", "0");
    SetType(bench->table, 202, "Пушка", "20000", "80", "20", "1");
    bench->engine.Input.ShipCount[1][0][201] = 1'000'000;
    bench->engine.Input.ShipCount[2][0][202] = 1'000'000;
    const double seconds = bench->Fight();
    const uint64_t shots = bench->engine.ShotCount;
    std::printf("scenario=big shots=%llu seconds=%.3f shots_per_second=%.0f peak_bytes_per_unit=%.1f\n",
                static_cast<unsigned long long>(shots), seconds, shots / seconds,
                PeakResidentBytes() / 2'000'000.0);
}

void Selection() {
    auto bench = std::make_unique<Bench>("8");
    DataTable& t = bench->table;
    SetType(t, 201, "Истребитель", "4000", "50", "10", "0");
    SetType(t, 202, "Крейсер", "27000", "400", "50", "0");
    SetType(t, 203, "Линкор", "60000", "1000", "200", "0");
    SetType(t, 211, "Ракетница", "2000", "80", "20", "1");
    SetType(t, 212, "Лазер", "8000", "100", "25", "1");
    SetType(t, 213, "Ионная пушка", "8000", "150", "500", "1");
    t.SetCell(kColRapidFire + 201, 202, "6");
    t.SetCell(kColRapidFire + 211, 202, "10");
    t.SetCell(kColRapidFire + 212, 203, "3");
    t.SetCell(kColRapidFire + 201, 213, "2");
    BattleInput& in = bench->engine.Input;
    in.ShipCount[1][0][201] = 400;
    in.ShipCount[1][0][202] = 400;
    in.ShipCount[1][0][203] = 200;
    in.ShipCount[2][0][211] = 500;
    in.ShipCount[2][0][212] = 300;
    in.ShipCount[2][0][213] = 200;
    bench->engine.PodborMode = true;
    constexpr int kBattles = 2000;
    const auto start = std::chrono::steady_clock::now();
    for (int battle = 1; battle <= kBattles; ++battle) {
        bench->engine.PodborBattle = static_cast<uint16_t>((battle - 1) % 5 + 1);
        bench->Fight();
        bench->engine.FreeUnits();
    }
    const double seconds = Seconds(start);
    std::printf("scenario=selection battles=%d seconds=%.3f battles_per_second=%.0f\n", kBattles, seconds,
                kBattles / seconds);
}

// The windows of a selection: only the candidates' scores are kept.
class SelectionOutput : public RunOutput {
public:
    explicit SelectionOutput(SelectionTable& candidates) : candidates_(candidates) {}
    void ClearLog() override {}
    void ShowLog() override {}
    void StatLine(std::string_view) override {}
    void ClearStatistics() override {}
    void ShowStatistics() override {}
    void SaveLog(const std::string&) override {}
    void SaveStatistics(const std::string&) override {}
    void SelectionScore(int column, std::string_view score) override {
        candidates_.SetScore(column, std::string(score));
    }

private:
    SelectionTable& candidates_;
};

// A fleet selection as the selection timers and the battle timer run it,
// within the player's fleet `limits`, with the options' sizes; returns the
// battles fought.
int RunSelection(Bench& bench, const uint32_t* limits, SelectionTable& candidates, SelectionTable& kept,
                 SelectionSizes& sizes) {
    std::string error;
    if (!ReadSelectionSizes(bench.options.candidates, bench.options.generations, sizes, error))
        throw std::runtime_error(error);
    SelectionOutput output(candidates);
    SystemClock clock;
    BattleEngine& engine = bench.engine;
    BattleRun run(engine, bench.options, bench.output, output, clock);
    run.State.PodborCandidates = sizes.candidates;
    run.State.PodborGenerations = sizes.generations;
    DrawFirstGeneration(candidates, sizes.candidates, limits, bench.random);
    engine.PodborMode = true;
    int battles = 0;
    for (run.State.PodborIter = 1;; ++run.State.PodborIter) {
        engine.BattleNo = 1;
        engine.PodborBattle = 1;
        HandOver next = HandOver::BattleTimer;
        while (next == HandOver::BattleTimer) {
            const int col = engine.BattleNo - 1;
            if (engine.PodborBattle == 1 && candidates.Empty(col)) {
                candidates.SetScore(col, "0");
                ++engine.BattleNo;
                next = sizes.candidates < engine.BattleNo ? HandOver::SelectionTimer : HandOver::BattleTimer;
                continue;
            }
            next = run.FightBattle([&] {
                for (int row = 0; row < kSelectionCountRows; ++row)
                    engine.Input.ShipCount[1][0][row] = candidates.Count(col, row);
            });
            ++battles;
        }
        KeepBest(candidates, kept, sizes.kept);
        if (run.State.PodborIter >= sizes.generations) break;
        Breed(kept, candidates);
    }
    engine.PodborMode = false;
    return battles;
}

void Podbor() {
    auto bench = std::make_unique<Bench>("8");
    DataTable& t = bench->table;
    SetType(t, 205, "Штурмовик", "4000", "50", "10", "0");
    SetType(t, 206, "Истребитель", "10000", "150", "25", "0");
    SetType(t, 207, "Канонерка", "27000", "400", "50", "0");
    SetType(t, 211, "Крейсер", "60000", "1000", "200", "0");
    for (int row : {205, 206, 207, 211})
        for (int col : {kColDebrisAttacking, kColDebrisDefending}) t.SetCell(col, row, "30");
    uint32_t limits[kRowCount] = {};
    limits[205] = 3000;
    limits[206] = 1500;
    limits[207] = 300;
    BattleEngine& engine = bench->engine;
    engine.Input.ShipCount[2][0][206] = 1000;
    engine.Input.ShipCount[2][0][207] = 150;
    engine.Input.ShipCount[2][0][211] = 20;
    bench->options.candidates = std::string("100");
    bench->options.generations = std::string("4");
    SelectionTable candidates, kept;
    SelectionSizes sizes;
    const auto start = std::chrono::steady_clock::now();
    const int battles = RunSelection(*bench, limits, candidates, kept, sizes);
    const double seconds = Seconds(start);
    std::printf("scenario=podbor battles=%d seconds=%.3f best_score=%s\n", battles, seconds,
                kept.Score(sizes.kept - 1).c_str());
}

// The engine figures of the window benchmarks: their battles on the shipped
// database, with nothing shown and no file written. The window benchmark
// gives the program the same seed, so both fight the same battles.
std::unique_ptr<Bench> ShippedDatabaseBench(const windowbench::FleetEntry* fleet, size_t entries, uint64_t seed) {
    auto bench = std::make_unique<Bench>(windowbench::kRounds);
    const DataTable::LoadResult loaded = bench->table.LoadFromFile(NORVIX_DATA_DIR "/DataBase.dat");
    if (!loaded.complete) throw std::runtime_error(loaded.message);
    for (size_t i = 0; i < entries; ++i)
        bench->engine.Input.ShipCount[fleet[i].side][0][fleet[i].row] = fleet[i].count;
    bench->random.Seed(seed);
    return bench;
}

uint64_t SeedArgument() {
    const char* seed = std::getenv("NORVIX_BENCH_SEED");
    return seed ? std::strtoull(seed, nullptr, 10) : 20240601;
}

void WindowSelectionEngine() {
    using windowbench::kSelectionFleet;
    auto bench = ShippedDatabaseBench(kSelectionFleet, std::size(kSelectionFleet), SeedArgument());
    bench->options.candidates = std::string(windowbench::kSelectionCandidates);
    bench->options.generations = std::string(windowbench::kSelectionGenerations);
    uint32_t limits[kRowCount] = {};
    std::copy(std::begin(bench->engine.Input.ShipCount[1][0]), std::end(bench->engine.Input.ShipCount[1][0]), limits);
    SelectionTable candidates, kept;
    SelectionSizes sizes;
    const auto start = std::chrono::steady_clock::now();
    const int battles = RunSelection(*bench, limits, candidates, kept, sizes);
    std::printf("scenario=engine-selection battles=%d seconds=%.3f\n", battles, Seconds(start));
}

// What a statistics run writes besides the battle log, kept and saved as
// the windows keep and save it.
class SavedRunOutput : public RunOutput {
public:
    explicit SavedRunOutput(NullOutput& log) : log_(log) { log_.keepLines = true; }
    void ClearLog() override { log_.lines.clear(); }
    void ShowLog() override {}
    void StatLine(std::string_view line) override { statistics_.emplace_back(line); }
    void ClearStatistics() override { statistics_.clear(); }
    void ShowStatistics() override {}
    void SaveLog(const std::string& path) override { rtl::WriteAllLines(path, log_.lines); }
    void SaveStatistics(const std::string& path) override { rtl::WriteAllLines(path, statistics_); }

private:
    NullOutput& log_;
    std::vector<std::string> statistics_;
};

// A start folder of its own with its logs folder, beside the system's others.
std::string StartFolderWithLogs(const char* pattern) {
    std::string folder = (std::filesystem::temp_directory_path() / pattern).string();
    if (!mkdtemp(folder.data()) || !std::filesystem::create_directory(folder + "/logs"))
        throw std::runtime_error("no folder for the logs");
    return folder;
}

// A statistics run as the window benchmarks make it: window-statistics
// saves every log, to a folder of its own beside the system's others;
// window-endless saves none and fights battles nobody wins in full log.
void WindowStatisticsEngine(bool endless) {
    using namespace windowbench;
    auto bench = endless ? ShippedDatabaseBench(kEndlessFleet, std::size(kEndlessFleet), SeedArgument())
                         : ShippedDatabaseBench(kStatisticsFleet, std::size(kStatisticsFleet), SeedArgument());
    bench->options.statistics = true;
    bench->options.saveLogs = !endless;
    bench->options.fullLog = endless;
    bench->options.battles = endless ? kEndlessBattles : kStatisticsBattles;
    if (endless) bench->options.rounds = kEndlessRounds;
    const std::string folder = StartFolderWithLogs("norvix_engine_XXXXXX");
    SavedRunOutput output(bench->output);
    bench->output.keepLines = !endless;  // a log never saved is not kept
    SystemClock clock;
    BattleRun run(bench->engine, bench->options, bench->output, output, clock);
    run.State.StartDir = folder;
    const auto start = std::chrono::steady_clock::now();
    run.StartRun();
    int battles = 0;
    for (HandOver next = HandOver::BattleTimer; next == HandOver::BattleTimer; ++battles) next = run.FightBattle();
    run.WriteSummary();
    const double seconds = Seconds(start);
    std::filesystem::remove_all(folder);
    std::printf("scenario=engine-%s battles=%d seconds=%.3f\n", endless ? "endless" : "statistics", battles, seconds);
}

// A battle that never ends by itself: attack 5 against shields of 10 that
// come back every round. Rounds per second at the bound, and the peak
// memory at the bound and beyond it.
void NoWinRounds() {
    constexpr windowbench::FleetEntry kCargo[] = {{1, 201, 1}, {2, 201, 1}};
    const std::string folder = StartFolderWithLogs("norvix_rounds_XXXXXX");
    for (int64_t rounds : {OptionNumberAt(kOptionRoundsLine).max, OptionNumberAt(kOptionRoundsLine).max * 10}) {
        ResetPeak();
        const int64_t before = PeakResidentBytes();
        auto bench = ShippedDatabaseBench(kCargo, std::size(kCargo), SeedArgument());
        bench->options.rounds = std::to_string(rounds);
        bench->options.fullLog = bench->options.saveLogs = true;
        SavedRunOutput output(bench->output);
        SystemClock clock;
        BattleRun run(bench->engine, bench->options, bench->output, output, clock);
        run.State.StartDir = folder;
        run.StartRun();
        const auto start = std::chrono::steady_clock::now();
        run.FightBattle();
        const double seconds = Seconds(start);
        if (bench->engine.Round != rounds) throw std::runtime_error("the battle ended before its last round");
        std::printf("scenario=rounds rounds=%lld seconds=%.3f rounds_per_second=%.0f log_lines=%zu peak_mb=%.1f\n",
                    static_cast<long long>(rounds), seconds, rounds / seconds, bench->output.lines.size(),
                    (PeakResidentBytes() - before) / 1048576.0);
    }
    std::filesystem::remove_all(folder);
}

void Mixed() {
    auto bench = std::make_unique<Bench>("8");
    DataTable& t = bench->table;
    // Side 1.
    SetType(t, 201, "Призрак", "200000", "3000", "40", "0", {{kColAbility1, "1"}, {kColSpecialAttack1, "1"}});
    SetType(t, 202, "Смертник", "160000", "400", "0", "0", {{kColAbility1, "2"}});
    SetType(t, 203, "Муталиск", "180000", "2500", "0", "0",
            {{kColAbility1, "3"}, {kColSpecialAttack1, "3"}, {kColSpecialAttack2, "4"}, {kColAttackPeriod, "1"}});
    SetType(t, 204, "Страж", "300000", "50", "5000", "0", {{kColAbility1, "4"}});
    SetType(t, 205, "Осадный танк", "200000", "6000", "20", "0", {{kColAbility2, "5"}, {kColDelay, "1"}});
    SetType(t, 206, "Флагман", "60000000", "5000", "3000", "0",
            {{kColSpecialAttack1, "2"}, {kColEmpStrength, "200"}, {kColConcentratedShot, "30"}});
    // Side 2.
    SetType(t, 301, "Зилот", "160000", "3000", "60", "0", {{kColAbility1, "6"}, {kColConcentratedShot, "20"}});
    SetType(t, 302, "Шершень", "200000", "5000", "30", "0", {{kColAbility1, "7"}});
    SetType(t, 303, "Гидралиск", "170000", "2500", "0", "1", {{kColAbility1, "3"}, {kColSpecialAttack1, "4"}});
    SetType(t, 304, "Страж", "400000", "60", "8000", "1", {{kColAbility1, "4"}});
    SetType(t, 305, "Матка", "80000000", "8000", "5000", "0", {{kColSpecialAttack1, "1"}, {kColConcentratedShot, "40"}});
    SetType(t, 306, "Турель", "500000", "500", "200", "2", {{kColUnitClass, "2"}});
    struct RapidFire {
        int shooter, target;
        const char* n;
    };
    for (RapidFire rf : {RapidFire{201, 303, "4"}, {203, 301, "3"}, {205, 306, "5"}, {206, 302, "10"},
                         {301, 202, "3"}, {302, 201, "2"}, {303, 203, "4"}, {305, 205, "6"}})
        t.SetCell(kColRapidFire + rf.target, rf.shooter, rf.n);
    BattleInput& in = bench->engine.Input;
    in.PartCount[1] = 2;
    in.PartCount[2] = 3;
    for (int p = 0; p < 2; ++p) {
        uint32_t* ships = in.ShipCount[1][p];
        ships[201] = 40'000;
        ships[202] = 10'000;
        ships[203] = 30'000;
        ships[204] = 10;
        ships[205] = 19'980;
        ships[206] = 10;
        uint16_t* tech = in.TechLevel[1][p];
        tech[kTechWeapons] = tech[kTechShields] = 10;
        tech[kTechEmpRadiation] = 3;
        tech[kTechAcidSpores] = 2;
        tech[kTechYamato] = 6;
        tech[kTechRegeneration] = 5;
    }
    for (int p = 0; p < 3; ++p) {
        uint32_t* ships = in.ShipCount[2][p];
        ships[301] = 25'000;
        ships[302] = 10'000;
        ships[303] = 31'645;
        ships[304] = 11;
        ships[305] = 10;
        ships[306] = 3;  // level
        uint16_t* tech = in.TechLevel[2][p];
        tech[kTechWeapons] = tech[kTechShields] = 12;
        tech[kTechAcidSpores] = 1;
        tech[kTechYamato] = 4;
        tech[kTechRegeneration] = 10;
        in.OfficerLevel[2][p][kOfficerShieldLimit] = 10'000;
        in.OfficerLevel[2][p][kOfficerOrganicDefence] = 2;
    }
    const double seconds = bench->Fight();
    const uint64_t shots = bench->engine.ShotCount;
    std::printf("scenario=mixed units_per_side=%u shots=%llu seconds=%.3f shots_per_second=%.0f\n",
                bench->engine.Units(1, 0).AllocTotal + bench->engine.Units(1, 1).AllocTotal,
                static_cast<unsigned long long>(shots), seconds, shots / seconds);
}

}  // namespace

int main(int argc, char** argv) {
    const std::pair<const char*, void (*)()> scenarios[] = {
        {"big", Big},
        {"selection", Selection},
        {"mixed", Mixed},
        {"podbor", Podbor},
        {"engine-selection", WindowSelectionEngine},
        {"engine-statistics", [] { WindowStatisticsEngine(false); }},
        {"engine-endless", [] { WindowStatisticsEngine(true); }},
        {"rounds", NoWinRounds}};
    for (int i = 1; i < argc; ++i) {
        bool known = false;
        for (auto [name, run] : scenarios) known |= std::strcmp(argv[i], name) == 0;
        if (!known) {
            std::fprintf(stderr, "unknown scenario '%s' (big, selection, mixed, podbor, engine-selection, engine-statistics, "
                         "engine-endless, rounds)\n", argv[i]);
            return 2;
        }
    }
    try {
        for (auto [name, run] : scenarios) {
            // The engine figures of the window benchmarks and the rounds
            // bound run only when named.
            bool wanted = argc == 1 && std::strncmp(name, "engine-", 7) != 0 && std::strcmp(name, "rounds") != 0;
            for (int i = 1; i < argc; ++i) wanted |= std::strcmp(argv[i], name) == 0;
            if (wanted) run();
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
