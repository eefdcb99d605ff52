#include "vcl/registry.h"

#include "vcl/wintext.h"

namespace vcl {

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY root) {
    CloseKey();
    root_ = root;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    HKEY base = current_ ? current_ : root_;
    HKEY opened = nullptr;
    LONG status;
    if (canCreate)
        status = RegCreateKeyExW(base, WideText(key), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr);
    else
        status = RegOpenKeyExW(base, WideText(key), 0, KEY_ALL_ACCESS, &opened);
    if (status != ERROR_SUCCESS) return false;
    CloseKey();
    current_ = opened;
    return true;
}

void TRegistry::CloseKey() {
    if (current_) RegCloseKey(current_);
    current_ = nullptr;
}

bool TRegistry::ValueExists(const std::string& name) const {
    return RegQueryValueExW(current_ ? current_ : root_, WideText(name), nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

int TRegistry::ReadInteger(const std::string& name) const {
    DWORD type = 0, value = 0, size = sizeof(value);
    LONG status = RegQueryValueExW(current_ ? current_ : root_, WideText(name), nullptr, &type,
                                   reinterpret_cast<BYTE*>(&value), &size);
    if (status != ERROR_SUCCESS || type != REG_DWORD)
        throw ERegistryException("Неверный тип данных для '" + name + "'");
    return static_cast<int>(value);
}

void TRegistry::WriteInteger(const std::string& name, int value) {
    DWORD data = static_cast<DWORD>(value);
    LONG status = RegSetValueExW(current_ ? current_ : root_, WideText(name), 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&data), sizeof(data));
    if (status != ERROR_SUCCESS) throw ERegistryException("Не удалось записать значение '" + name + "'");
}

}  // namespace vcl
