// Value-list editors that list database rows: declaring one, reading its
// values as a level list, and copying entries between editors of different
// windows by row, so that a row added or deleted since one of them was
// built moves no value onto another entry.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "battle/defaultsfiles.h"
#include "vcl/vcl.h"

// An editor with its two titles, the value column sized for numbers and
// the name column taking the rest beside the scroll bar.
vcl::TValueListEditor* DeclareEditor(vcl::TWinControl* parent, const std::string& name, const char* key,
                                     const char* value, int left, int top, int width, int height,
                                     vcl::TPopupMenu* popup = nullptr);

// Entry k is list row k + 1; an entry past the editor's lines reads "0".
std::string EntryValue(vcl::TValueListEditor* editor, int entry);

// The editor's values with their rows, `fixed` entries at the head.
battle::LevelList ReadEntries(vcl::TValueListEditor* editor, const std::vector<uint16_t>& rows, size_t fixed);

// Every entry of `to` takes the value of the entry of `from` with its row
// (the fixed heads by position); entries that `from` lacks become "0".
void CopyEntries(vcl::TValueListEditor* from, const std::vector<uint16_t>& fromRows, size_t fromFixed,
                 vcl::TValueListEditor* to, const std::vector<uint16_t>& toRows, size_t toFixed);
