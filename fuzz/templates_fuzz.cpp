// Shbl.dat as the player's disk may hold it: any bytes load what is sound
// and never crash; what was loaded is saved and loads again unchanged.
// seeds: data/Shbl.dat
#include <cstdlib>

#include "battle/defaultsfiles.h"
#include "battle/templatefile.h"
#include "fuzz_support.h"
#include "rtl/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    battle::TemplateFileContents read;
    try {
        read = battle::ReadTemplateFile(fuzz::WriteScratch(data, size));
    } catch (const rtl::ERuntimeError&) {
        return 0;
    }
    if (read.templates.size() > static_cast<size_t>(battle::kTemplateSlots)) std::abort();
    // A file that loses anything when it is replaced is told as damaged, and only such a file.
    if (read.damaged == read.message.empty()) std::abort();
    for (battle::FleetTemplate& fleet : read.templates) fleet.name = battle::OneLine(fleet.name);
    battle::WriteTemplateFile(fuzz::ScratchPath(), read.templates);
    battle::TemplateFileContents again = battle::ReadTemplateFile(fuzz::ScratchPath());
    if (again.templates.size() != read.templates.size() || !again.message.empty() || again.damaged) std::abort();
    for (size_t i = 0; i < read.templates.size(); ++i)
        if (again.templates[i].name != read.templates[i].name || again.templates[i].counts != read.templates[i].counts)
            std::abort();
    return 0;
}
