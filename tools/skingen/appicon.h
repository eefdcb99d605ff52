// The program's own icon, drawn as our skins are: one picture at each size
// the system asks for (title bars, the task bar, the file's folder view),
// written as an icon file for the program's resources.
#pragma once

#include <string>
#include <vector>

#include "painter.h"

namespace skingen {

// The sizes in the icon file, smallest first.
const std::vector<int>& ProgramIconSizes();
// The picture at one size, straight (not premultiplied) colours with coverage.
Layer DrawProgramIcon(int size);
// The bytes of the .ico file: every size as a 32-bit picture with its mask.
std::string MakeProgramIconFile();

}  // namespace skingen
