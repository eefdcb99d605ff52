// Keys and integer values of the Win32 registry.
#pragma once
#include "vcl/win.h"

#include <string>

#include "rtl/errors.h"

namespace vcl {

class ERegistryException : public rtl::ERuntimeError {
public:
    using rtl::ERuntimeError::ERuntimeError;
};

class TRegistry {
public:
    TRegistry() = default;
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return root_; }
    void SetRootKey(HKEY root);
    // Opens a key below the current one (or the root); with `canCreate`
    // a missing key is made. False when it cannot be opened.
    bool OpenKey(const std::string& key, bool canCreate);
    void CloseKey();
    bool ValueExists(const std::string& name) const;
    // Throws ERegistryException when the value is missing or not an integer.
    int ReadInteger(const std::string& name) const;
    void WriteInteger(const std::string& name, int value);

private:
    HKEY root_ = HKEY_CURRENT_USER;
    HKEY current_ = nullptr;
};

}  // namespace vcl
