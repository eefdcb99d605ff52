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

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// How many rapid-fire entries the text holds: each is "по", plain text (no
// tag), then a link "<a ...>" to a unit's page ("gid=" in the tag).
size_t CountEntries(std::string_view text) {
    const std::string_view po = "по";
    size_t count = 0;
    for (size_t at = text.find(po); at != std::string_view::npos; at = text.find(po, at + po.size())) {
        const size_t tag = text.find_first_of("<>", at + po.size());
        if (tag == std::string_view::npos || text[tag] != '<' || tag + 2 >= text.size() ||
            (text[tag + 1] != 'a' && text[tag + 1] != 'A') || !IsBlank(text[tag + 2]))
            continue;
        if (text.substr(tag, text.find('>', tag) - tag).find("gid=") != std::string_view::npos) ++count;
    }
    return count;
}

// The text without its comments ("<!--" .. "-->"); an open one takes the rest.
std::string WithoutComments(std::string text) {
    for (size_t open = text.find("<!--"); open != std::string::npos; open = text.find("<!--", open)) {
        const size_t close = text.find("-->", open + 4);
        text.erase(open, close == std::string::npos ? std::string::npos : close + 3 - open);
    }
    return text;
}

// A target of the comparison: a unit in the walk's rows 200..500.
bool IsComparedTarget(const battle::DataTable& table, int row) {
    return row >= kWalkStart && row <= kWalkEnd && table.Cell(battle::kColKind, row) == battle::kKindUnit;
}

RapidFireBlock& Unread(RapidFireBlock& block, std::string problem) {
    block.read = false;
    block.entries.clear();
    block.problem = std::move(problem);
    return block;
}

}  // namespace

RapidFireBlock FindRapidFireBlock(const std::vector<std::string>& lines, int checkRow) {
    RapidFireBlock block;
    size_t marker = 1;
    while (marker < lines.size() && lines[marker].find(kRapidFireMarker) == std::string::npos) ++marker;
    if (marker >= lines.size()) return block;
    block.found = true;
    size_t next = marker + (checkRow > kLateBlockRow ? 2 : 1);
    if (next >= lines.size() || lines[next].find("<div") == std::string::npos)
        return Unread(block, std::string("после «") + kRapidFireMarker + "» нет блока скорострела");
    const std::string unended = "блок скорострела не закрыт: страница кончается внутри него";
    // `start` opens the entry being cut; before `from` the text holds no
    // "<br>", "/div>" or comment still to be seen. Comments are no text of
    // the page: they go before the cut looks at what they hold.
    std::string text = lines[next];
    size_t start = 0, from = 0;
    for (;;) {
        const size_t br = text.find("<br>", from);
        const size_t stop = br != std::string::npos ? br : text.find("/div>", from);
        if (const size_t open = text.find("<!--", from); open < stop) {
            const size_t close = text.find("-->", open + 4);
            if (close != std::string::npos) {
                text.erase(open, close + 3 - open);
                continue;
            }
            if (++next >= lines.size()) return Unread(block, unended);
            text += lines[next];
            continue;
        }
        if (br != std::string::npos) {
            block.entries.push_back(text.substr(start, br - start));
            start = from = br + 4;
            continue;
        }
        if (stop != std::string::npos) break;
        if (++next >= lines.size()) return Unread(block, unended);
        from = std::max(start, text.size() - std::min<size_t>(text.size(), 4));
        text += lines[next];
    }
    // The block is read whole only when it holds every entry of the page
    // after the marker, each in an entry of its own: an entry left out would
    // be taken for rapid fire that the game no longer has.
    std::string after = lines[marker].substr(lines[marker].find(kRapidFireMarker));
    for (size_t i = marker + 1; i < lines.size(); ++i) after += lines[i];
    const size_t onPage = CountEntries(WithoutComments(std::move(after)));
    size_t inBlock = 0;
    for (const std::string& entry : block.entries) inBlock += std::min<size_t>(CountEntries(entry), 1);
    if (inBlock != onPage)
        return Unread(block, "записей скорострела на странице после «" + std::string(kRapidFireMarker) + "» " +
                                 rtl::IntToStr(static_cast<int64_t>(onPage)) + ", в прочитанном блоке " +
                                 rtl::IntToStr(static_cast<int64_t>(inBlock)));
    block.read = true;
    return block;
}

bool HasRapidFire(const battle::DataTable& table, int row) {
    for (int target = kWalkStart; target <= kWalkEnd; ++target)
        if (IsComparedTarget(table, target) && table.Cell(battle::kColRapidFire + target, row) != "0") return true;
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
    struct Read {
        RapidFireEntry page;
        std::string error;
    };
    std::vector<Read> read(entries.size());
    std::vector<bool> listed(battle::kRowCount, false);
    bool targetUnknown = false;
    for (size_t i = 0; i < entries.size(); ++i) {
        try {
            ReadEntryInto(entries[i], read[i].page);
        } catch (const rtl::ERuntimeError& error) {
            read[i].error = error.what();
        }
        const int target = read[i].page.target;
        if (target == 0) {
            targetUnknown = true;
            continue;
        }
        // A page that names a target twice, or one the comparison does not
        // know, is laid out otherwise than the cut expects: none of it is taken.
        if (listed[static_cast<size_t>(target)]) {
            out.notCompared = "цель gid=" + rtl::IntToStr(target) + " названа на странице дважды";
            break;
        }
        if (!IsComparedTarget(table, target)) {
            out.notCompared = "цель gid=" + rtl::IntToStr(target) + " не юнит сверки: в строке " + rtl::IntToStr(target) +
                              " базы нет юнита из строк " + rtl::IntToStr(kWalkStart + 1) + ".." +
                              rtl::IntToStr(kWalkEnd);
            break;
        }
        listed[static_cast<size_t>(target)] = true;
    }
    if (!out.notCompared.empty()) return;
    for (const Read& entry : read) {
        if (!entry.error.empty()) {
            out.unread.push_back("«" + unitName + "» (" + UnitPageAddress("", row) + "): " + entry.error);
            continue;
        }
        const RapidFireEntry& page = entry.page;
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
        if (!IsComparedTarget(table, target)) continue;
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
