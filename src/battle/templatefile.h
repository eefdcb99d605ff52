// Shbl.dat: the player's fleet templates, named sets of unit counts by
// database row. "UNION" on the first line when any template exists; then
// for each template its name, pairs of lines (row, count) for the rows
// whose count is not 0, and "end".
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "battle/datatable.h"

namespace battle {

inline constexpr const char* kTemplateFile = "Shbl.dat";
inline constexpr std::string_view kTemplateMarker = "UNION";
inline constexpr std::string_view kTemplateEnd = "end";
// The template editor makes at most 20; a file may hold one more.
inline constexpr int kTemplateSlots = 21;
inline constexpr int kMaxNewTemplates = 20;

struct FleetTemplate {
    std::string name;
    std::vector<uint32_t> counts = std::vector<uint32_t>(kRowCount, 0u);  // by row 0..600
};

struct TemplateFileContents {
    bool marker = false;  // false: no file, a blank one or no "UNION"
    // The file holds something that was not read as templates: replacing
    // it would lose that, so a copy is kept first.
    bool damaged = false;
    std::vector<FleetTemplate> templates;
    std::string message;  // for the player when the file is damaged; else empty
};

// Loads what is sound: templates beyond the 21st, pairs with a row outside
// 0..600 or a count that is no whole number of 0..4294967295 and a template
// without "end" are skipped, blank lines at the end are ignored; one message
// says what was skipped. A file cut anywhere is damaged: a cut inside a
// template leaves it without "end", one after it leaves the last line
// without its line end. The marker may carry blanks
// and a UTF-8 byte-order mark (a file saved by a text editor). A missing or
// blank file is no templates; any other file without the marker is damaged.
// An unreadable file throws rtl::EInOutError.
TemplateFileContents ReadTemplateFile(const std::string& path);

// Nothing but an empty file when there are no templates. Throws
// rtl::EInOutError and leaves the previous file whole.
void WriteTemplateFile(const std::string& path, const std::vector<FleetTemplate>& templates);

}  // namespace battle
