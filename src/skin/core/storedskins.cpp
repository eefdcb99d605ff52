#include "skin/core/storedskins.h"

#include <utility>

#include "skin/core/skinutils.h"

namespace skin {

unsigned BtnEffectFlags = beMouseEnter | beMouseLeave | beMouseDown | beMouseUp;

int TsStoredSkins::IndexOf(const std::string& name) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i]->Name == name) return static_cast<int>(i);
    return -1;
}

std::string ThirdPartyList::DefaultList(int kind) {
    static const char* const kDefaults[tpKindCount] = {
        "TEdit\r\nTMemo\r\nTMaskEdit\r\nTLabeledEdit\r\nTHotKey\r\nTListBox\r\nTCheckListBox\r\nTDBListBox\r\n"
        "TRichEdit\r\nTDBMemo\r\nTSynEdit\r\nTSynMemo\r\nTDBSynEdit\r\nTDBLookupListBox\r\nTDBRichEdit\r\n"
        "TDBCtrlGrid\r\nTDateTimePicker\r\nTDBEdit",
        "TButton",
        "TBitBtn",
        "TCheckBox\r\nTRadioButton\r\nTDBCheckBox\r\nTDBCheckBoxEh\r\nTGroupButton",
        "TComboBox\r\nTColorBox\r\nTDBComboBox",
        "TStringGrid\r\nTDrawGrid\r\nTRichView\r\nTDBRichViewEdit\r\nTRichViewEdit\r\nTDBRichView\r\nTwwDBGrid\r\n"
        "TAdvStringGrid\r\nTDBAdvGrid\r\nTValueListEditor\r\nTDBGrid",
        "TGroupBox\r\nTDBRadioGroup\r\nTRadioGroup",
        "TListView",
        "TPanel\r\nTDBCtrlPanel",
        "TTreeView\r\nTRzTreeView\r\nTDBTreeView",
        "TDBLookupComboBox\r\nTwwDBComboBox\r\nTwwDBCustomCombo\r\nTwwDBCustomLookupCombo",
        "TDBGridEh",
        "TVirtualStringTree\r\nTVirtualStringTreeDB\r\nTEasyListview\r\nTVirtualExplorerListview\r\n"
        "TVirtualExplorerTreeview\r\nTVirtualExplorerTree\r\nTVirtualDrawTree",
    };
    return kind >= 0 && kind < tpKindCount ? kDefaults[kind] : "";
}

void UpdateThirdNames(ThirdPartyList& third, TThirdLists& lists, bool force) {
    auto& l = third.Lists;
    if (l[tpEdits] == "TButton" || l[tpButtons] == "TBitBtn") {
        // Written in the older order: each list moves to the kind it means now.
        const auto old = l;
        l[tpButtons] = old[tpEdits];
        l[tpBitBtns] = old[tpButtons];
        l[tpCheckBoxes] = old[tpBitBtns];
        l[tpComboBoxes] = old[tpCheckBoxes];
        l[tpTreeViews] = old[tpComboBoxes];
        l[tpPanels] = old[tpTreeViews];
        l[tpEdits] = old[tpPanels];
        l[tpGrids] = old[tpGroupBoxes];
        l[tpListViews] = old[tpGrids];
        l[tpGroupBoxes] = old[tpListViews];
        l[tpGridEh] = old[tpVirtualTrees];
        l[tpVirtualTrees] = ThirdPartyList::DefaultList(tpVirtualTrees);
    }
    for (int kind = 0; kind < tpKindCount; ++kind) {
        if (force || l[kind].empty()) l[kind] = ThirdPartyList::DefaultList(kind);
        lists[kind].clear();
        const int lines = CountWords(l[kind], "\r\n");
        for (int i = 1; i <= lines; ++i) lists[kind].push_back(WordAt(i, l[kind], "\r\n"));
    }
}

void StoreThirdNames(ThirdPartyList& third, const TThirdLists& lists) {
    for (int kind = 0; kind < tpKindCount; ++kind) {
        std::string text;
        for (const std::string& name : lists[kind]) text += name + "\r\n";
        third.Lists[kind] = std::move(text);
    }
}

}  // namespace skin
