// Window layouts are given in twips (1/1440 inch): 15 to a pixel at 96 dots per inch, rounded to the nearest
// pixel. Used by the main window's and the About box's layouts.
#pragma once

#include <QRect>

namespace widgets {

constexpr int twipsToPixels(int twips) {
    return (twips + 7) / 15;
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

} // namespace widgets
