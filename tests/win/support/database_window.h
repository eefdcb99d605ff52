// The database window in a working folder of its own, with the registry's
// first-run value set or removed as a test needs it.
#pragma once
#include "gtest_windows.h"
#include "support/fake_main_window.h"
#include "support/scratch_folder.h"
#include "support/vcl_test_support.h"

#include <string>
#include <vector>

#include "battle/datatable.h"
#include "windows/dataform.h"

namespace dbtest {

inline void SetFirstRunValue(bool present) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"software\\NorvixSim", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        ADD_FAILURE() << "registry key";
        return;
    }
    if (present) {
        DWORD zero = 0;
        RegSetValueExW(key, L"rb", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof zero);
    } else {
        RegDeleteValueW(key, L"rb");
    }
    RegCloseKey(key);
}

inline bool FirstRunValuePresent() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"software\\NorvixSim", 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    bool present = RegQueryValueExW(key, L"rb", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return present;
}

// The line of DataBase.dat that holds a cell.
inline size_t CellLine(int col, int row) { return static_cast<size_t>(row) * battle::kColCount + col; }

}  // namespace dbtest
