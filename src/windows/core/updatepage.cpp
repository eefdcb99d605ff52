#include "windows/core/updatepage.h"

#include <algorithm>

#include "rtl/http.h"

namespace update {
namespace {

// Removes the text through the first `what` and `extra` characters more.
bool Cut(std::string& text, const char* what, size_t extra) {
    const size_t at = text.find(what);
    if (at == std::string::npos) return false;
    text.erase(0, std::min(text.size(), at + extra));
    return true;
}

// "<br" with the character after it ("<br>", "<br/" ...).
bool CutTag(std::string& text) { return Cut(text, "<br", 4); }
// Through the "<" of the next tag, leaving "br..." for the next cut.
bool CutTagOpening(std::string& text) { return Cut(text, "<br", 1); }

// The text before the first blank; empty when there is none.
std::string Word(const std::string& text) {
    const size_t blank = text.find(' ');
    return blank == std::string::npos ? std::string() : text.substr(0, blank);
}

bool Plain(const std::string& field) {
    if (field.empty()) return false;
    for (unsigned char c : field)
        if (c < 0x20 || c == 0x7F) return false;
    return true;
}

}  // namespace

bool ReadUpdateFields(const std::vector<std::string>& lines, UpdateFields& fields) {
    fields = UpdateFields{};
    const std::string marker = kMarker;
    for (const std::string& line : lines) {
        const size_t at = line.find(marker);
        if (at == std::string::npos) continue;
        std::string text = line.substr(at + 1);
        UpdateFields read;
        if (!CutTagOpening(text) || !CutTag(text)) return false;
        read.build = Word(text);
        if (!CutTag(text)) return false;
        read.buildLink = Word(text);
        if (!CutTagOpening(text) || !CutTag(text)) return false;
        read.version = Word(text);
        if (!CutTag(text)) return false;
        read.versionLink = text.substr(0, text.find('<'));
        if (!Plain(read.build) || !Plain(read.version) || !rtl::IsWebLink(read.buildLink) ||
            !rtl::IsWebLink(read.versionLink))
            return false;
        fields = read;
        return true;
    }
    return false;
}

}  // namespace update
