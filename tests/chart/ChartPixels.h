// Reading a rendered chart image: the trace's bright red, the plotting area found from its red axis lines.
#pragma once

#include <QImage>
#include <QRect>

namespace chartpixels {

// The trace, the axes, the title and the text boxes are pure red; grid and zero lines a darker red (at most
// 115). A one-pixel line between two pixel rows is antialiased into two rows of about half strength, hence
// 120.
inline bool brightRed(QRgb p) {
    return qRed(p) >= 120 && qGreen(p) < 90 && qBlue(p) < 90;
}

inline bool nearBlack(QRgb p) {
    return qRed(p) + qGreen(p) + qBlue(p) < 40;
}

inline bool nearWhite(QRgb p) {
    return qRed(p) > 230 && qGreen(p) > 230 && qBlue(p) > 230;
}

template <class Pred>
int count(const QImage& image, QRect area, Pred pred) {
    area &= image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += pred(image.pixel(x, y)) ? 1 : 0;
    return n;
}

// Bounding box of the pixels in an area that pass `pick` (bright red unless said), or that differ from a
// reference picture (null when there are none).
inline QRect bounds(const QImage& image, QRect area, const QImage* reference = nullptr,
                    bool (*pick)(QRgb) = brightRed) {
    area &= image.rect();
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (reference ? image.pixel(x, y) != reference->pixel(x, y) : pick(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

// The plotting area, from the left axis line (the longest vertical red run in the left third) to the bottom
// axis line (the longest horizontal red run in the lower half). The chart's dark red outline on the outermost
// pixels is left out of the search.
inline QRect plotArea(const QImage& image) {
    int columnRun = 0, column = 0, top = 0, rowRun = 0, row = 0, right = 0;
    for (int x = 3; x < image.width() / 3; ++x)
        for (int y = 3, run = 0; y < image.height() - 3; ++y)
            if ((run = brightRed(image.pixel(x, y)) ? run + 1 : 0) > columnRun)
                columnRun = run, column = x, top = y - run + 1;
    for (int y = image.height() / 2; y < image.height() - 3; ++y)
        for (int x = 3, run = 0; x < image.width() - 3; ++x)
            if ((run = brightRed(image.pixel(x, y)) ? run + 1 : 0) > rowRun)
                rowRun = run, row = y, right = x;
    return columnRun > 0 && rowRun > 0 ? QRect(QPoint(column, top), QPoint(right, row)) : QRect();
}

} // namespace chartpixels
