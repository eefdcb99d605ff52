#include "windows/core/rapidfirepage.h"

#include <algorithm>

#include "rtl/convert.h"
#include "rtl/errors.h"
#include "rtl/textfile.h"

namespace online {
namespace {

std::vector<std::string> ReadTable(const std::string& path) {
    rtl::TextFileReader file(path);
    std::vector<std::string> lines;
    for (int i = 0; i < kLetterCount; ++i) lines.push_back(file.ReadLine().substr(0, kLetterMaxLength));
    return lines;
}

const char* const kEntryMalformed = "Неверная запись скорострела на странице: ";

// Removes `text` through the end of the first `what` and `extra` characters more.
void CutThrough(std::string& text, std::string_view what, size_t extra, const std::string& entry) {
    size_t at = text.find(what);
    if (at == std::string::npos) throw rtl::EConvertError(kEntryMalformed + entry);
    text.erase(0, std::min(text.size(), at + what.size() + extra));
}

// The text before the first `what`; the whole text when there is none.
std::string Before(const std::string& text, char what) { return text.substr(0, text.find(what)); }

}  // namespace

LetterTables ReadLetterTables(const std::string& lettersPath, const std::string& entitiesPath) {
    LetterTables tables;
    tables.letters = ReadTable(lettersPath);
    tables.entities = ReadTable(entitiesPath);
    return tables;
}

void ReplaceAll(std::string& text, std::string_view pattern, std::string_view replacement) {
    if (pattern.empty() || replacement.find(pattern) != std::string_view::npos) return;
    // Searching again from the start after each replacement finds nothing
    // before the place of the last one but what the replacement made with the
    // text before it; so the search goes on from there.
    size_t from = 0;
    size_t at;
    size_t budget = text.size() + 1;  // a shrinking text ends by itself; a growing one gets this many
    while ((at = text.find(pattern, from)) != std::string::npos) {
        text.replace(at, pattern.size(), replacement);
        from = at >= pattern.size() - 1 ? at - (pattern.size() - 1) : 0;
        if (replacement.size() >= pattern.size() && --budget == 0) break;
    }
}

std::string ConvertEntities(std::string text, const LetterTables& tables) {
    const size_t count = std::min(tables.letters.size(), tables.entities.size());
    for (size_t k = 0; k < count; ++k) ReplaceAll(text, tables.entities[k], tables.letters[k]);
    const std::string_view nbsp = "&nbsp";
    for (size_t at = text.find(nbsp); at != std::string::npos; at = text.find(nbsp, at))
        text.replace(at, std::min(text.size() - at, nbsp.size() + 1), " ");
    return text;
}

RapidFireBlock FindRapidFireBlock(const std::vector<std::string>& lines, int checkRow) {
    RapidFireBlock block;
    size_t marker = 1;
    while (marker < lines.size() && lines[marker].find(kRapidFireMarker) == std::string::npos) ++marker;
    if (marker >= lines.size()) return block;
    block.found = true;
    size_t next = marker + (checkRow > kLateBlockRow ? 2 : 1);
    if (next >= lines.size() || lines[next].find("<div") == std::string::npos) return block;
    block.read = true;
    std::string text = lines[next];
    for (;;) {
        size_t br = text.find("<br>");
        if (br != std::string::npos) {
            block.entries.push_back(text.substr(0, br));
            text.erase(0, br + 4);
            continue;
        }
        if (text.find("/div>") != std::string::npos) break;
        if (++next >= lines.size()) break;  // no end before the end of the page
        text += lines[next];
    }
    return block;
}

bool HasRapidFire(const battle::DataTable& table, int row) {
    for (int target = kWalkStart; target <= kWalkEnd; ++target)
        if (table.Cell(battle::kColKind, target) == battle::kKindUnit &&
            table.Cell(battle::kColRapidFire + target, row) != "0")
            return true;
    return false;
}

namespace {

// Fills `result` field by field, so that what was read before a failure is known.
void ReadEntryInto(const std::string& entry, RapidFireEntry& result) {
    std::string text = entry;
    const size_t po = text.find("по");  // the text up to "по" and its first letter go
    if (po == std::string::npos) throw rtl::EConvertError(kEntryMalformed + entry);
    text.erase(0, po + 1);
    CutThrough(text, "=", 1, entry);
    CutThrough(text, "=", 0, entry);
    if (text.find('&') == std::string::npos) throw rtl::EConvertError(kEntryMalformed + entry);
    const int64_t target = rtl::StrToInt64(Before(text, '&'));
    if (target < 1 || target > battle::kLastRow) throw rtl::ERangeError(kEntryMalformed + entry);
    result.target = static_cast<int>(target);
    CutThrough(text, ">", 0, entry);
    if (text.find('<') == std::string::npos) throw rtl::EConvertError(kEntryMalformed + entry);
    result.name = Before(text, '<');
    CutThrough(text, "<", 0, entry);
    CutThrough(text, ">", 0, entry);
    CutThrough(text, ">", 0, entry);
    if (text.find('<') == std::string::npos) throw rtl::EConvertError(kEntryMalformed + entry);
    result.value = rtl::StrToInt64(Before(text, '<'));
}

}  // namespace

RapidFireEntry ReadRapidFireEntry(const std::string& entry) {
    RapidFireEntry result;
    ReadEntryInto(entry, result);
    return result;
}

void CompareRapidFire(const battle::DataTable& table, int row, const std::vector<std::string>& entries,
                      UnitComparison& out) {
    using battle::kColName;
    using battle::kColRapidFire;
    const std::string& unitName = table.Cell(kColName, row);
    std::vector<bool> listed(battle::kRowCount, false);
    bool targetUnknown = false;
    for (const std::string& entry : entries) {
        RapidFireEntry page;
        try {
            ReadEntryInto(entry, page);
        } catch (const rtl::ERuntimeError& error) {
            out.unread.push_back("«" + unitName + "» (" + UnitPageAddress("", row) + "): " + error.what());
            if (page.target > 0)
                listed[static_cast<size_t>(page.target)] = true;
            else
                targetUnknown = true;
            continue;
        }
        listed[static_cast<size_t>(page.target)] = true;
        const std::string& targetName = table.Cell(kColName, page.target);
        if (page.name != targetName) out.log.push_back(targetName + "-->" + page.name);
        const std::string& old = table.Cell(kColRapidFire + page.target, row);
        int64_t oldValue = 0;
        if (!rtl::TryStrToInt64(old, oldValue) || oldValue != page.value) {
            const std::string value = rtl::IntToStr(page.value);
            out.log.push_back(unitName + " по " + targetName + "  " + old + "-->" + value);
            out.queue.push_back({row, page.target, value});
        }
    }
    if (targetUnknown) return;
    std::string pageText;
    for (const std::string& entry : entries) pageText += entry + "\r\n";
    for (int target = kWalkStart; target <= kWalkEnd; ++target) {
        if (table.Cell(battle::kColKind, target) != battle::kKindUnit) continue;
        const std::string& old = table.Cell(kColRapidFire + target, row);
        const std::string& name = table.Cell(kColName, target);
        // A target that the page lists under another name is not missing.
        if (old == "0" || listed[static_cast<size_t>(target)] || (!name.empty() && pageText.find(name) != std::string::npos))
            continue;
        out.log.push_back(unitName + " по " + name + "  " + old + "--> 0");
        out.queue.push_back({row, target, "0"});
    }
}

int NextUnitRow(const battle::DataTable& table, int row) {
    do {
        ++row;
    } while (row < kWalkEnd && table.Cell(battle::kColKind, row) != battle::kKindUnit);
    return std::min(row, kWalkEnd);
}

std::string UnitPageAddress(const std::string& site, int row) {
    return site + "infos.php?gid=" + rtl::IntToStr(row) + "&notopnav=true";
}

}  // namespace online
