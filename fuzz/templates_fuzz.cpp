// Shbl.dat as the player's disk may hold it: any bytes load what is sound
// and never crash; what was loaded is saved and loads again unchanged, and
// that file cut short is damaged unless the cut lost nothing.
// seeds: data/Shbl.dat
#include <cstdlib>

#include "battle/defaultsfiles.h"
#include "battle/templatefile.h"
#include "fuzz_support.h"
#include "rtl/errors.h"
#include "rtl/textfile.h"

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

    // The written file cut anywhere reads as sound only when what it gives writes back as the
    // cut bytes (blank lines at the end aside, and a marker with no template after it).
    const std::string whole = rtl::TextFileReader(fuzz::ScratchPath()).Contents();
    if (whole.empty()) return 0;
    const std::string cut = whole.substr(0, (size * 7919u + (size ? data[0] : 0)) % whole.size());
    fuzz::WriteScratch(reinterpret_cast<const uint8_t*>(cut.data()), cut.size());
    if (read = battle::ReadTemplateFile(fuzz::ScratchPath()); read.damaged) return 0;
    battle::WriteTemplateFile(fuzz::ScratchPath(), read.templates);
    std::string rewritten = rtl::TextFileReader(fuzz::ScratchPath()).Contents();
    if (rewritten.empty() && cut.compare(0, 7, "UNION\r\n") == 0) rewritten = "UNION\r\n";
    if (cut.compare(0, rewritten.size(), rewritten) != 0 ||
        cut.find_first_not_of("\r\n", rewritten.size()) != std::string::npos)
        std::abort();
    return 0;
}
