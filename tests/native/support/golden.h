// Outputs recorded once in tests/native/golden/ and compared byte for byte:
// whole battle logs, the layouts of every kind of skinned frame, and the
// pictures of the skin's painting routines. NORVIX_GOLDEN_RECORD=1 writes
// the files anew, for a change that is meant.
#pragma once

#include <string>

namespace golden {

// Compares `text` with tests/native/golden/NAME.txt, naming the first line
// that differs; writes the file instead under NORVIX_GOLDEN_RECORD.
void ExpectRecorded(const std::string& name, const std::string& text);

}  // namespace golden
