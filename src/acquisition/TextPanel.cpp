#include "acquisition/TextPanel.h"

namespace acquisition {

void TextPanelLength::addLine(std::string_view line) {
    m_length += 2 + utf16Length(line);
}

bool TextPanelLength::trimIfOverLimit() {
    if (m_length <= kLimit)
        return false;
    m_length = 0;
    return true;
}

int TextPanelLength::utf16Length(std::string_view utf8) {
    int units = 0;
    for (const char ch : utf8) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b & 0xC0) != 0x80)
            ++units; // a lead byte or ASCII starts a character
        if (b >= 0xF0)
            ++units; // four-byte sequences become surrogate pairs
    }
    return units;
}

} // namespace acquisition
