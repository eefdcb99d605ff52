// Ability and special-attack codes of a unit row and the name lists that
// give them their meaning: the name on line i (from 0) of spab.dat or
// spat.dat is code i + 1; "0" is none. A unit keeps two codes of each kind,
// in columns 18/19 and 20/21.
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace battle {

inline constexpr const char* kAbilityNamesFile = "spab.dat";
inline constexpr const char* kSpecialAttackNamesFile = "spat.dat";
inline constexpr int kCodesPerKind = 2;

// The names, one a line, to the end of the file; a last line without its
// line end counts. A missing or unreadable file throws rtl::EInOutError.
std::vector<std::string> ReadNameFile(const std::string& path);

// What a code cell says against a list of `nameCount` names.
struct CodeCell {
    enum Kind { kNone, kItem, kUnknown };
    Kind kind = kNone;
    int item = -1;  // the list position, for kItem
};
// "0" and "" are none; "1".."nameCount" name an item; anything else (a code
// beyond the list, a negative or broken one) is unknown.
CodeCell DecodeCode(std::string_view cell, size_t nameCount);

// The two cells of a kind after the editor stored its check list. A cell
// that was unknown when loaded keeps its text and its place (`kept`, "" where
// nothing is kept); the other places take the codes of the checked items in
// list order, while places are left; the rest are "0".
std::array<std::string, kCodesPerKind> EncodeCodes(const std::vector<bool>& checked,
                                                   const std::array<std::string, kCodesPerKind>& kept);

}  // namespace battle
