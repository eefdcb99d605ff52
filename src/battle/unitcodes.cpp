#include "battle/unitcodes.h"

#include "rtl/convert.h"
#include "rtl/textfile.h"

namespace battle {

std::vector<std::string> ReadNameFile(const std::string& path) { return rtl::ReadAllLines(path); }

CodeCell DecodeCode(std::string_view cell, size_t nameCount) {
    if (cell.empty() || cell == "0") return {};
    int64_t code = 0;
    if (!rtl::TryStrToInt64(cell, code) || code < 1 || static_cast<uint64_t>(code) > nameCount)
        return {CodeCell::kUnknown, -1};
    return {CodeCell::kItem, static_cast<int>(code - 1)};
}

std::array<std::string, kCodesPerKind> EncodeCodes(const std::vector<bool>& checked,
                                                   const std::array<std::string, kCodesPerKind>& kept) {
    std::array<std::string, kCodesPerKind> cells = kept;
    size_t item = 0;
    for (std::string& cell : cells) {
        if (!cell.empty()) continue;
        while (item < checked.size() && !checked[item]) ++item;
        cell = item < checked.size() ? rtl::IntToStr(static_cast<int64_t>(++item)) : "0";
    }
    return cells;
}

}  // namespace battle
