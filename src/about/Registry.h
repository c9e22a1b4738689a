// The few registry reads the About box needs, as an interface: the Windows registry (WindowsRegistry) in the
// program, a fake one in tests. Plain C++.
#pragma once

#include <cstdint>
#include <string>

namespace about {

// Values of the Windows registry API, so the lookup logic can be tested on any platform.
inline constexpr std::uint32_t kHKeyLocalMachine = 0x80000002; // HKEY_LOCAL_MACHINE
inline constexpr std::uint32_t kRegSz = 1;                     // REG_SZ
inline constexpr std::uint32_t kRegDword = 4;                  // REG_DWORD
// Query value, set value, create sub-key, enumerate sub-keys, notify, create link, read control.
inline constexpr std::uint32_t kKeyAccess = 0x2003F;

class RegistryReader {
public:
    using Key = std::uintptr_t;

    virtual ~RegistryReader() = default;

    // As RegOpenKeyExA: opens keyName below the predefined root with the access asked for. False when the key
    // is missing or the access is refused; key is then not to be closed.
    virtual bool openKey(std::uint32_t root, const std::string& keyName, std::uint32_t access, Key& key) = 0;
    // As RegQueryValueExA: copies the value's bytes into buffer and gives its type. size is the buffer's
    // capacity on the way in and the value's size in bytes on the way out. False when the value is missing or
    // does not fit the buffer.
    virtual bool queryValue(Key key, const std::string& valueName, std::uint32_t& type, unsigned char* buffer,
                            std::uint32_t& size) = 0;
    // As RegCloseKey.
    virtual void closeKey(Key key) = 0;
};

} // namespace about
