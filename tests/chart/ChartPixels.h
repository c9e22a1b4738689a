// Reading a rendered chart image: the trace's bright red, the plotting area found from its red axis lines.
#pragma once

#include <QImage>
#include <QRect>

#include <cmath>
#include <vector>

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

// Bounding box of the bright red pixels in an area (null when there are none).
inline QRect redBounds(const QImage& image, QRect area) {
    area &= image.rect();
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (brightRed(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

// Bounding box of the pixels in an area that differ from a reference picture (null when none do).
inline QRect changedBounds(const QImage& image, const QImage& reference, QRect area) {
    area &= image.rect() & reference.rect();
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != reference.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

// The plotting area, between the left axis line (the longest vertical red run) and the bottom axis line (the
// longest horizontal red run). The chart's dark red outline on the outermost pixels is left out of the
// search.
inline QRect plotArea(const QImage& image) {
    int bestColumn = -1, bestColumnRun = 0, columnTop = 0;
    for (int x = 3; x < image.width() / 3; ++x) {
        int run = 0;
        for (int y = 3; y < image.height() - 3; ++y) {
            run = brightRed(image.pixel(x, y)) ? run + 1 : 0;
            if (run > bestColumnRun) {
                bestColumnRun = run;
                bestColumn = x;
                columnTop = y - run + 1;
            }
        }
    }
    int bestRow = -1, bestRowRun = 0, rowRight = 0;
    for (int y = image.height() / 2; y < image.height() - 3; ++y) {
        int run = 0;
        for (int x = 3; x < image.width() - 3; ++x) {
            run = brightRed(image.pixel(x, y)) ? run + 1 : 0;
            if (run > bestRowRun) {
                bestRowRun = run;
                bestRow = y;
                rowRight = x;
            }
        }
    }
    if (bestColumn < 0 || bestRow < 0)
        return {};
    return QRect(QPoint(bestColumn, columnTop), QPoint(rowRight, bestRow));
}

// The inside of the plotting area, clear of axis lines and their inward ticks.
inline QRect interior(const QRect& plot) {
    return plot.adjusted(8, 2, -2, -8);
}

} // namespace chartpixels
