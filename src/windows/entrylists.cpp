#include "windows/entrylists.h"

using namespace vcl;

TValueListEditor* DeclareEditor(TWinControl* parent, const std::string& name, const char* key, const char* value,
                                int left, int top, int width, int height, TPopupMenu* popup) {
    TValueListEditor* editor = Declare<TValueListEditor>(parent, name).Bounds(left, top, width, height);
    if (popup) editor->SetPopupMenu(popup);
    editor->TitleCaptions()->Clear();
    editor->TitleCaptions()->AddStrings(std::vector<std::string>{key, value});
    // The value column takes what the numbers need; the names get the rest,
    // so that both fit beside the scroll bar and nothing scrolls sideways.
    const int valueWidth = 76, frameAndLines = 8;
    editor->SetColWidths(1, valueWidth);
    editor->SetColWidths(0, width - valueWidth - GetSystemMetrics(SM_CXVSCROLL) - frameAndLines);
    return editor;
}

std::string EntryValue(TValueListEditor* editor, int entry) {
    return entry + 1 <= editor->Count() ? editor->Values(entry + 1) : std::string("0");
}

battle::LevelList ReadEntries(TValueListEditor* editor, const std::vector<uint16_t>& rows, size_t fixed) {
    battle::LevelList list;
    list.fixed = fixed;
    for (size_t k = 0; k < rows.size(); ++k) list.Add(rows[k], EntryValue(editor, static_cast<int>(k)));
    return list;
}

void CopyEntries(TValueListEditor* from, const std::vector<uint16_t>& fromRows, size_t fromFixed,
                 TValueListEditor* to, const std::vector<uint16_t>& toRows, size_t toFixed) {
    const std::vector<int> match = battle::MatchEntries(fromRows, fromFixed, toRows, toFixed);
    for (size_t k = 0; k < match.size() && static_cast<int>(k) + 1 <= to->Count(); ++k)
        to->SetValues(static_cast<int>(k) + 1, match[k] < 0 ? std::string("0") : EntryValue(from, match[k]));
}
