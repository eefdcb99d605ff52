#include "battle/datatable.h"

#include <unistd.h>

#include <algorithm>

#include "battle/inputcheck.h"
#include "rtl/convert.h"
#include "rtl/encoding.h"
#include "rtl/errors.h"
#include "rtl/textfile.h"

namespace battle {
namespace {

size_t LastSeparator(const std::string& path) { return path.find_last_of("\\/"); }

std::string FileName(const std::string& path) {
    size_t slash = LastSeparator(path);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The working folder as the player knows it.
std::string CurrentFolder() {
    char buffer[4096];
    if (!getcwd(buffer, sizeof buffer)) return ".";
    std::string folder = rtl::Utf8ToCp1251(buffer);
#ifdef _WIN32
    // Under Wine the host's root is drive Z:.
    for (char& c : folder)
        if (c == '/') c = '\\';
    folder.insert(0, "Z:");
#endif
    return folder;
}

std::string FolderOf(const std::string& path) {
    size_t slash = LastSeparator(path);
    if (slash == std::string::npos) return CurrentFolder();
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

std::string FileInFolder(const std::string& path) {
    return "Файл " + FileName(path) + " в папке " + FolderOf(path);
}

// A line of a file quoted in a message, cut short when long; control
// characters, which a message box would not show, as "?".
bool HasLineBreak(const std::string& cell) { return cell.find_first_of("\r\n") != std::string::npos; }

// A cell with a line break would shift every later cell of the file by a line.
std::string OneLine(std::string cell) {
    for (char& c : cell)
        if (c == '\r' || c == '\n') c = ' ';
    return cell;
}

void WriteCell(rtl::TextFileWriter& writer, const std::string& cell) {
    if (HasLineBreak(cell))
        writer.WriteLine(OneLine(cell));
    else
        writer.WriteLine(cell);
}

bool IsRapidFireCol(std::string_view kind, int col) { return kind == kKindUnit && col >= kColRapidFire; }

bool ReadNumberInRange(const std::string& line, int64_t last, int64_t& value) {
    return rtl::TryStrToInt64(line, value) && value >= 0 && value <= last;
}

}  // namespace

std::string QuoteLine(std::string_view line) {
    constexpr size_t kShown = 40;
    std::string shown(line.substr(0, kShown));
    if (line.size() > kShown) shown += "...";
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20) c = '?';
    return "«" + shown + "»";
}

void RequireFile(const std::string& path) {
    if (!rtl::FileExists(path))
        throw rtl::EInOutError("Не найден файл " + FileName(path) + " в папке " + FolderOf(path) + ".");
}

DataTable::DataTable() : cells_(static_cast<size_t>(kRowCount) * kColCount) { ResetPool(); }

DataTable::DataTable(const DataTable& other) : cells_(other.cells_), texts_(other.texts_) { RebuildIds(); }

DataTable& DataTable::operator=(const DataTable& other) {
    if (this != &other) {
        cells_ = other.cells_;
        texts_ = other.texts_;
        RebuildIds();
    }
    return *this;
}

void DataTable::RebuildIds() {
    ids_.clear();
    for (uint32_t id = 0; id < texts_.size(); ++id) ids_.emplace(texts_[id], id);
}

void DataTable::ResetPool() {
    std::fill(cells_.begin(), cells_.end(), 0u);
    texts_.clear();
    ids_.clear();
    Intern("");
}

uint32_t DataTable::Intern(std::string_view text) {
    if (auto found = ids_.find(text); found != ids_.end()) return found->second;
    const auto id = static_cast<uint32_t>(texts_.size());
    texts_.emplace_back(text);
    ids_.emplace(texts_.back(), id);
    return id;
}

size_t DataTable::Index(int col, int row) {
    if (col < 0 || col > kLastCol || row < 0 || row > kLastRow) throw rtl::ERangeError();
    return static_cast<size_t>(row) * kColCount + static_cast<size_t>(col);
}

const std::string& DataTable::Cell(int col, int row) const { return texts_[cells_[Index(col, row)]]; }

void DataTable::SetCell(int col, int row, std::string_view value) {
    const size_t index = Index(col, row);
    cells_[index] = Intern(value);
}

int64_t DataTable::IntCell(int col, int row) const {
    const std::string& text = Cell(col, row);
    int64_t value = 0;
    if (rtl::TryStrToInt64(text, value)) return value;
    try {
        rtl::StrToInt64(text);
    } catch (const rtl::EConvertError& error) {
        throw rtl::EConvertError("База данных, строка " + rtl::IntToStr(row) + ", столбец " + rtl::IntToStr(col) +
                                 ": " + error.what());
    }
    return value;
}

bool DataTable::IsRapidFireCell(int col, int row) const {
    return col <= kLastCol && row >= 0 && row <= kLastRow && IsRapidFireCol(Cell(kColKind, row), col);
}

std::string DataTable::CellValueProblem(int col, int row, std::string_view text) const {
    int64_t value = 0;
    if (!IsRapidFireCell(col, row) || !rtl::TryStrToInt64(text, value) || value <= kMaxRapidFire) return {};
    return "скорострел " + std::string(text) + " больше допустимого (" + rtl::IntToStr(kMaxRapidFire) +
           "): бой с таким значением не закончится за разумное время.";
}

void DataTable::Clear() { ResetPool(); }

void DataTable::FillDefaults() {
    for (int row = 0; row <= kLastRow; ++row) {
        SetCell(kColRowNumber, row, rtl::IntToStr(row));
        for (int col = 12; col <= kLastCol; ++col) SetCell(col, row, "0");
    }
}

DataTable::LoadResult DataTable::LoadFromFile(const std::string& path) {
    RequireFile(path);
    rtl::TextFileReader reader(path);  // the whole file is read here

    LoadResult result;
    ResetPool();
    size_t line = 0;
    for (; line < cells_.size() && !reader.Eof(); ++line) cells_[line] = Intern(reader.ReadLine());
    result.linesRead = line;

    CheckLoaded(path, result);
    // The file's length first, then what the rows it holds show: both are told.
    std::string length;
    if (line < cells_.size()) {
        length = FileInFolder(path) + " поврежден: строк в нем " + rtl::IntToStr(line) + " из " +
                 rtl::IntToStr(kDataBaseLines) + ". Ячейки со строки " + rtl::IntToStr(line + 1) +
                 " файла (строка базы " + rtl::IntToStr(line / kColCount) + ", столбец " +
                 rtl::IntToStr(line % kColCount) + ") и до конца оставлены пустыми.";
    } else if (!reader.Eof()) {
        length = FileInFolder(path) + " поврежден: после строки " + rtl::IntToStr(kDataBaseLines) +
                 ", последней ячейки базы, в нем есть еще строки; они не прочитаны.";
    }
    if (!length.empty()) {
        result.complete = false;
        result.message = result.message.empty() ? length : length + " " + result.message;
    }
    return result;
}

void DataTable::CheckLoaded(const std::string& path, LoadResult& result) {
    auto tell = [&](const std::string& text) {
        result.complete = false;
        result.message += (result.message.empty() ? "" : " ") + text;
    };
    const int wholeRows = static_cast<int>(result.linesRead / kColCount);
    for (int row = 1; row < wholeRows; ++row) {
        const std::string& kind = Cell(kColKind, row);
        const std::string& number = Cell(kColRowNumber, row);
        // A row never used (no kind) or free has nothing to shift.
        if (kind.empty() || kind == kKindFree || number == rtl::IntToStr(row)) continue;
        const size_t fileLine = static_cast<size_t>(row) * kColCount + 1;
        std::string why = number.find('\r') != std::string::npos
                              ? "строки кончаются лишним символом CR (CR CR LF)"
                              : "строки после нее сдвинуты: в файле потеряна или лишняя строка";
        tell(FileInFolder(path) + " поврежден: в строке " + rtl::IntToStr(fileLine) + " файла (строка базы " +
             rtl::IntToStr(row) + ", столбец 0) стоит " + QuoteLine(number) + " вместо номера строки " +
             rtl::IntToStr(row) + "; " + why + ". Значения с этого места ненадежны.");
        break;
    }
    size_t refused = 0;
    std::string first;
    // The row a short file ends in counts too: a battle reads what it holds.
    const int rowsTouched = static_cast<int>((result.linesRead + kColCount - 1) / kColCount);
    for (int row = kUnitFirstRow; row < rowsTouched && row <= kUnitLastRow; ++row) {
        if (Cell(kColKind, row) != kKindUnit) continue;
        for (int col = kColRapidFire; col <= kLastCol; ++col) {
            std::string problem = CellValueProblem(col, row, Cell(col, row));
            if (problem.empty()) continue;
            if (refused++ == 0)
                first = "строка базы " + rtl::IntToStr(row) + ", столбец " + rtl::IntToStr(col) + ": " + problem;
            SetCell(col, row, rtl::IntToStr(kMaxRapidFire));
        }
    }
    if (refused > 0)
        tell("В файле " + FileName(path) + " " + first + " Таких ячеек " + rtl::IntToStr(refused) +
             "; в каждой взято " + rtl::IntToStr(kMaxRapidFire) + ".");
}

void DataTable::SaveToFile(const std::string& path) const {
    size_t bytes = 0;
    for (uint32_t id : cells_) bytes += texts_[id].size() + 2;
    try {
        rtl::TextFileWriter writer(path, /*atomic=*/true);
        writer.Reserve(bytes);
        for (uint32_t id : cells_) WriteCell(writer, texts_[id]);
        writer.Close();
    } catch (const rtl::EInOutError& error) {
        throw rtl::EInOutError("База данных не сохранена. " + std::string(error.what()) + ". Прежний файл " +
                               FileName(path) + " остался без изменений.");
    }
}

void DataTable::ExportToFile(const std::string& path) const {
    rtl::TextFileWriter writer(path, /*atomic=*/true);
    WriteCell(writer, Cell(kVersionCol, 0));
    for (int row = 1; row <= kLastRow; ++row) {
        if (Cell(kColKind, row) == kKindFree) continue;
        for (int col = 0; col <= kExportLastPlainCol; ++col) WriteCell(writer, Cell(col, row));
        for (int col = kExportFirstRapidFireCol; col <= kLastCol; ++col) {
            const std::string& value = Cell(col, row);
            if (value == "0") continue;
            writer.WriteLine(rtl::IntToStr(col));
            WriteCell(writer, value);
        }
        writer.WriteLine(kExportBlockEnd);
    }
    writer.Close();
}

DataTable::ImportResult DataTable::ImportFromFile(const std::string& path) {
    RequireFile(path);
    rtl::TextFileReader reader(path);
    ImportResult result;
    const std::string file = FileName(path);

    if (reader.Eof()) {
        result.ok = false;
        result.failedLine = 1;
        result.message = "Файл " + file + " пуст: импортировать нечего. Таблица не изменена.";
        return result;
    }
    std::string version = reader.ReadLine();
    // A file saved as UTF-8 begins with a byte-order mark: the mark is no part
    // of the version, and every line is turned into code page 1251.
    const bool utf8 = version.starts_with(rtl::kUtf8ByteOrderMark);
    if (utf8) version = rtl::Utf8ToCp1251(std::string_view(version).substr(rtl::kUtf8ByteOrderMark.size()));
    auto next = [&] { return utf8 ? rtl::Utf8ToCp1251(reader.ReadLine()) : reader.ReadLine(); };

    // The blocks are taken over only when the whole file has been read: a
    // part of an exchange would stay in memory and reach DataBase.dat with
    // the next save of any editor. A row named twice takes its last block.
    std::vector<std::vector<std::string>> blocks(kRowCount);
    size_t blocksRead = 0;
    auto stop = [&](const std::string& why) {
        result.ok = false;
        result.failedLine = reader.LineNumber();
        result.message = "Импорт остановлен на строке " + rtl::IntToStr(result.failedLine) + " файла " + file +
                         ": " + why + " Строки базы, прочитанные до этого места (" +
                         rtl::IntToStr(static_cast<int64_t>(blocksRead)) +
                         "), в таблицу не взяты: таблица осталась как была; ничего не сохранено.";
        return result;
    };
    if (!reader.LineEnded())
        return stop("в файле нет ни одного перевода строки, это не файл обмена базы.");
    auto endedInside = [&](int64_t row) {
        return "файл кончается внутри блока строки базы " + rtl::IntToStr(row) + " (нет строки «end»).";
    };

    std::vector<std::string> block(kColCount);
    while (!reader.Eof()) {
        std::string line = next();
        int64_t row = 0;
        // Row 0 holds the version and the first-run marker, not data.
        if (!ReadNumberInRange(line, kLastRow, row) || row == 0)
            return stop(QuoteLine(line) + " не номер строки базы (нужно целое число от 1 до " +
                        rtl::IntToStr(kLastRow) + ").");
        const std::string rowText = rtl::IntToStr(row);
        // A value as the editors take it, kept in their form; else why not.
        auto take = [&](int col, const std::string& value) {
            std::string problem = col == kColKind ? RowKindProblem(static_cast<int>(row), value) : "";
            if (const CellRule* rule = CellRuleFor(block[kColKind], block[kColPurpose], col))
                problem = CellProblem(*rule, value, block[col],
                                      IsRapidFireCol(block[kColKind], col)
                                          ? "Скорострел по строке " + rtl::IntToStr(col - kColRapidFire)
                                          : "");
            else
                block[col] = value;
            if (!problem.empty())
                problem = "строка базы " + rowText + ", столбец " + rtl::IntToStr(col) + ": " + problem + ".";
            return problem;
        };
        for (int col = 0; col <= kLastCol; ++col)
            block[col] = col >= kColRapidFire ? std::string("0") : Cell(col, static_cast<int>(row));
        for (int col = 1; col <= kExportLastPlainCol; ++col) {
            if (reader.Eof()) return stop(endedInside(row));
            const std::string value = next();
            // A name may read "end"; in any other place the block ends early.
            if (value == kExportBlockEnd && col != kColName)
                return stop("блок строки базы " + rowText + " кончается на месте столбца " + rtl::IntToStr(col) +
                            ": в блоке не хватает строки (столбцы 1..28 идут по строке на каждый).");
            if (std::string problem = take(col, value); !problem.empty()) return stop(problem);
        }
        for (;;) {
            if (reader.Eof()) return stop(endedInside(row));
            line = next();
            if (line == kExportBlockEnd) break;
            int64_t col = 0;
            // Columns 1..28 come one a line above; a pair for one of them is a line out of place.
            if (!ReadNumberInRange(line, kLastCol, col) || (col > kColRowNumber && col <= kExportLastPlainCol))
                return stop(QuoteLine(line) + " не номер столбца блока строки базы " + rowText +
                            " (нужно целое число от " + rtl::IntToStr(kExportLastPlainCol + 1) + " до " +
                            rtl::IntToStr(kLastCol) + " или «end»).");
            if (reader.Eof()) return stop(endedInside(row));
            std::string value = next();
            if (value == kExportBlockEnd)
                return stop("у номера столбца " + rtl::IntToStr(col) +
                            " строкой выше нет значения: в блоке строки базы " + rowText +
                            " строкой больше или меньше, чем нужно.");
            if (col == kColRowNumber) {
                // The row number is the row's own: it is checked, never written.
                if (value != rowText)
                    return stop("столбец 0 хранит номер строки базы " + rowText + ", а не " + QuoteLine(value) + ".");
                continue;
            }
            if (std::string problem = take(static_cast<int>(col), value); !problem.empty()) return stop(problem);
        }
        blocks[static_cast<size_t>(row)] = block;
        ++blocksRead;
    }
    // A file of its version alone brings the version and no rows.
    SetCell(kVersionCol, 0, version);
    for (int row = 1; row <= kLastRow; ++row) {
        const std::vector<std::string>& cells = blocks[static_cast<size_t>(row)];
        if (cells.empty()) continue;
        for (int col = 0; col <= kLastCol; ++col) SetCell(col, row, cells[static_cast<size_t>(col)]);
    }
    result.rowsImported = blocksRead;
    return result;
}

}  // namespace battle
