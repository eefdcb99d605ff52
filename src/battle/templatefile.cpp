#include "battle/templatefile.h"

#include <algorithm>
#include <limits>

#include "battle/defaultsfiles.h"
#include "rtl/convert.h"
#include "rtl/encoding.h"
#include "rtl/textfile.h"

namespace battle {

namespace {

bool BlankFrom(const std::vector<std::string>& lines, size_t from) {
    for (size_t i = from; i < lines.size(); ++i)
        if (!lines[i].empty()) return false;
    return true;
}

std::string_view Trimmed(std::string_view line) { return rtl::Trimmed(line, " \t\r"); }

bool ReadPair(const std::string& rowText, const std::string& countText, int& row, uint32_t& count) {
    int64_t r = 0, c = 0;
    if (!rtl::TryStrToInt64(rowText, r) || r < 0 || r > kLastRow) return false;
    if (!rtl::TryStrToInt64(countText, c) || c < 0 || c > std::numeric_limits<uint32_t>::max()) return false;
    row = static_cast<int>(r);
    count = static_cast<uint32_t>(c);
    return true;
}

}  // namespace

TemplateFileContents ReadTemplateFile(const std::string& path) {
    TemplateFileContents file;
    if (!rtl::FileExists(path)) return file;
    rtl::TextFileReader reader(path);
    std::vector<std::string> lines;
    while (!reader.Eof()) lines.push_back(reader.ReadLine());
    // Every line the writer makes ends with CR LF: a last line without its
    // end is where the file was cut, and what followed it is lost.
    const bool cut = !lines.empty() && !reader.LineEnded() && !Trimmed(lines.back()).empty();
    if (!lines.empty() && lines[0].starts_with(rtl::kUtf8ByteOrderMark))
        lines[0].erase(0, rtl::kUtf8ByteOrderMark.size());
    if (std::all_of(lines.begin(), lines.end(), [](const std::string& line) { return Trimmed(line).empty(); }))
        return file;
    if (Trimmed(lines[0]) != kTemplateMarker) {
        file.damaged = true;
        file.message = std::string("Файл ") + kTemplateFile + " поврежден: в его первой строке " +
                       QuoteLine(lines[0]) + " вместо \"" + std::string(kTemplateMarker) +
                       "\". Шаблоны из него не прочитаны.";
        return file;
    }
    file.marker = true;

    size_t i = 1, extraTemplates = 0, badPairs = 0;
    bool unfinished = false;
    std::string unfinishedName;
    while (i < lines.size() && !BlankFrom(lines, i)) {
        FleetTemplate fleet;
        fleet.name = lines[i++];
        bool ended = false;
        while (i < lines.size()) {
            const std::string& rowText = lines[i++];
            if (rowText == kTemplateEnd) {
                ended = true;
                break;
            }
            // A row without its count: the count line is missing, not the end.
            if (i >= lines.size() || lines[i] == kTemplateEnd) {
                ++badPairs;
                continue;
            }
            const std::string& countText = lines[i++];
            int row = 0;
            uint32_t count = 0;
            if (ReadPair(rowText, countText, row, count))
                fleet.counts[static_cast<size_t>(row)] = count;
            else
                ++badPairs;
        }
        // Cut before its "end": its name or its last count may be cut too,
        // so nothing of it is taken for sound.
        if (!ended) {
            unfinished = true;
            unfinishedName = fleet.name;
        } else if (static_cast<int>(file.templates.size()) < kTemplateSlots)
            file.templates.push_back(std::move(fleet));
        else
            ++extraTemplates;
    }

    if (extraTemplates || badPairs || unfinished || cut) {
        file.damaged = true;
        file.message = std::string("Файл ") + kTemplateFile + " поврежден. Загружено шаблонов: " +
                       rtl::IntToStr(static_cast<int64_t>(file.templates.size())) + ".";
        if (extraTemplates)
            file.message += " Пропущено шаблонов сверх " + rtl::IntToStr(kTemplateSlots) + ": " +
                            rtl::IntToStr(static_cast<int64_t>(extraTemplates)) + ".";
        if (badPairs)
            file.message += " Пропущено неверных записей (номер строки вне 0..600 или количество не целое "
                            "неотрицательное число): " +
                            rtl::IntToStr(static_cast<int64_t>(badPairs)) + ".";
        if (unfinished)
            file.message += " Последний шаблон " + QuoteLine(unfinishedName) +
                            " не закончен строкой \"end\" и не загружен.";
        else if (cut)
            file.message += " Файл оборван: в его последней строке нет конца строки, за ней могли быть еще шаблоны.";
    }
    return file;
}

void WriteTemplateFile(const std::string& path, const std::vector<FleetTemplate>& templates) {
    std::vector<std::string> lines;
    if (!templates.empty()) lines.emplace_back(kTemplateMarker);
    for (const FleetTemplate& fleet : templates) {
        lines.push_back(OneLine(fleet.name));
        for (size_t row = 0; row < fleet.counts.size() && row <= static_cast<size_t>(kLastRow); ++row) {
            if (fleet.counts[row] == 0) continue;
            lines.push_back(rtl::IntToStr(static_cast<int64_t>(row)));
            lines.push_back(rtl::IntToStr(fleet.counts[row]));
        }
        lines.emplace_back(kTemplateEnd);
    }
    rtl::WriteAllLines(path, lines, true);
}

}  // namespace battle
