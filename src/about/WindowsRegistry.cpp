// RegOpenKeyExA / RegQueryValueExA / RegCloseKey behind RegistryReader.
#include "about/WindowsRegistry.h"

#include <windows.h>

namespace about {

namespace {

// The predefined roots are sign-extended 32-bit handles (HKEY_LOCAL_MACHINE is
// (HKEY)(ULONG_PTR)(LONG)0x80000002).
HKEY rootHandle(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

} // namespace

bool WindowsRegistry::openKey(std::uint32_t root, const std::string& keyName, std::uint32_t access,
                              Key& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(rootHandle(root), keyName.c_str(), 0, static_cast<REGSAM>(access), &opened) !=
        ERROR_SUCCESS)
        return false;
    key = reinterpret_cast<Key>(opened);
    return true;
}

bool WindowsRegistry::queryValue(Key key, const std::string& valueName, std::uint32_t& type,
                                 unsigned char* buffer, std::uint32_t& size) {
    DWORD valueType = 0;
    DWORD valueSize = size;
    const LONG result = RegQueryValueExA(reinterpret_cast<HKEY>(key), valueName.c_str(), nullptr, &valueType,
                                         buffer, &valueSize);
    if (result != ERROR_SUCCESS)
        return false;
    type = valueType;
    size = valueSize;
    return true;
}

void WindowsRegistry::closeKey(Key key) {
    RegCloseKey(reinterpret_cast<HKEY>(key));
}

} // namespace about
