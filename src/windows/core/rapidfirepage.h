// Reading the game's unit pages for the rapid-fire comparison: the letters
// written as character references, the page's rapid-fire block and its
// entries, and the differences from the game database.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "battle/datatable.h"

namespace online {

inline constexpr const char* kLettersFile = "Ansi.dat";
inline constexpr const char* kEntitiesFile = "unicode.dat";
inline constexpr int kLetterCount = 66;
inline constexpr size_t kLetterMaxLength = 10;
inline constexpr const char* kPageFile = "1.html";
inline constexpr const char* kRapidFireMarker = "Скорострел";
// The walk: unit rows after 200 up to 499; reaching 500 ends it.
inline constexpr int kWalkStart = 200;
inline constexpr int kWalkEnd = 500;
// Units above this row have one more line between the marker and the block.
inline constexpr int kLateBlockRow = 400;

// Line k of `entities` is how a page writes the text of line k of `letters`.
struct LetterTables {
    std::vector<std::string> letters, entities;
};

// 66 lines of each file; missing lines read as empty, longer ones are cut to
// 10 characters. A file that cannot be opened throws rtl::EInOutError.
LetterTables ReadLetterTables(const std::string& lettersPath, const std::string& entitiesPath);

// Replaces `pattern` until none is left. An empty pattern, or one that its
// replacement contains, is left alone: replacing it would never end.
void ReplaceAll(std::string& text, std::string_view pattern, std::string_view replacement);

// Every entity form by its letter, in table order; then "&nbsp" and the
// character after it by a blank.
std::string ConvertEntities(std::string text, const LetterTables& tables);

// The page's rapid-fire entries: the text between the "<br>" tags of the
// "<div" block on the line after the first line (from the second on) that
// holds the marker, or two lines after it for late units; comments are no
// part of it. `found` is false when the page has no marker. `read` is true
// only when the block was read whole: it is there where the cut looks for
// it, it ends ("/div>") before the page does, and it holds every rapid-fire
// entry ("по" and a link to a unit's page) of the page after the marker,
// one in each of its entries. A page not read whole says nothing sure about
// the unit's rapid fire: its entries are dropped, and `problem` tells why.
struct RapidFireBlock {
    bool found = false;
    bool read = false;
    std::string problem;
    std::vector<std::string> entries;
};
RapidFireBlock FindRapidFireBlock(const std::vector<std::string>& lines, int checkRow);

// Whether the database gives `row` rapid fire against a target of the
// comparison: the targets it would take for missing from a page.
bool HasRapidFire(const battle::DataTable& table, int row);

struct RapidFireEntry {
    int target = 0;  // the database row of the target
    std::string name;
    int64_t value = 0;
};
// Throws rtl::EConvertError when the target or the value is not a whole
// number, rtl::ERangeError when the target is no row 1..600.
RapidFireEntry ReadRapidFireEntry(const std::string& entry);

struct QueuedChange {
    int row = 0, target = 0;
    std::string value;
};
struct UnitComparison {
    std::vector<std::string> log;
    std::vector<QueuedChange> queue;
    // One line for every entry that could not be read, naming the unit, its
    // page and why.
    std::vector<std::string> unread;
    // Why the page was not compared at all; nothing is logged or queued then.
    std::string notCompared;
};

// Logs and queues every difference between the page's entries and the rapid
// fire of `row`, then every target the database has and the page lacks
// (neither by its row nor by its name anywhere in the entries). An entry
// that cannot be read goes to `unread` and the other entries are compared
// all the same; when even its target could not be read, no target of this
// page is taken for missing, as it may be the one the entry names. A page
// that names a target twice, or a target that is no target of the
// comparison, is not compared (`notCompared`).
void CompareRapidFire(const battle::DataTable& table, int row, const std::vector<std::string>& entries,
                      UnitComparison& out);

// The next unit row to compare after `row`, or kWalkEnd.
int NextUnitRow(const battle::DataTable& table, int row);

// The address of a unit's page on the game's site.
std::string UnitPageAddress(const std::string& site, int row);

}  // namespace online
