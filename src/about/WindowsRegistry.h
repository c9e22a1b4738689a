// The Windows registry behind RegistryReader, through the ANSI registry functions. Windows builds only.
#pragma once

#include "about/Registry.h"

namespace about {

class WindowsRegistry final : public RegistryReader {
public:
    bool openKey(std::uint32_t root, const std::string& keyName, std::uint32_t access, Key& key) override;
    bool queryValue(Key key, const std::string& valueName, std::uint32_t& type, unsigned char* buffer,
                    std::uint32_t& size) override;
    void closeKey(Key key) override;
};

} // namespace about
