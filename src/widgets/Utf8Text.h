// UTF-8 text from the plain-C++ cores (std::string, std::string_view) as a QString for a widget.
#pragma once

#include <QString>

#include <string_view>

namespace widgets {

inline QString fromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace widgets
