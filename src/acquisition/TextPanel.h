// The length of the text panel Text1 as the live lines grow it, and the rule that empties the panel once
// it passes 64000 characters. Lengths are counted as the window counts them: UTF-16 code units.
#pragma once

#include <string_view>

namespace acquisition {

class TextPanelLength {
public:
    static constexpr int kLimit = 64000;

    // A live line was appended: the panel grew by CR LF and the line (UTF-8).
    void addLine(std::string_view line);

    // The trimming check: true when the panel is longer than kLimit, in which case the window must empty
    // it and the count restarts at 0.
    bool trimIfOverLimit();

    // The panel was emptied (Start) or its text set some other way.
    void set(int length) { m_length = length; }
    int length() const { return m_length; }

    // UTF-16 code units of a UTF-8 text (a character beyond U+FFFF counts 2).
    static int utf16Length(std::string_view utf8);

private:
    int m_length = 0;
};

} // namespace acquisition
