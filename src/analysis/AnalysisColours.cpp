// Night colours start from the live chart's red, black and dark red; turns of the worm get warm hues only, so
// that a coloured fold costs the eyes little more than the red chart.
#include "analysis/AnalysisColours.h"

#include "chart/Argb.h"

namespace analysis {
namespace {

QColor colour(chart::Argb argb) {
    return QColor::fromRgba(argb);
}

} // namespace

PlotColours plotColours(ColourScheme scheme) {
    if (scheme == ColourScheme::Night) {
        const QColor red = colour(chart::colours::red);
        return {colour(chart::colours::black),
                red,
                colour(chart::colours::darkRed).darker(150),
                QColor(150, 30, 30),
                QColor(255, 120, 40),
                QColor(255, 0, 0, 70),
                red,
                QColor(120, 20, 20),
                QColor(220, 150, 0),
                QColor(255, 150, 150),
                {QColor(255, 40, 40), QColor(255, 140, 0), QColor(225, 205, 0), QColor(230, 0, 170),
                 QColor(255, 130, 130), QColor(190, 90, 0), QColor(255, 90, 190), QColor(255, 220, 150)}};
    }
    return {Qt::white,
            Qt::black,
            QColor(210, 210, 210),
            QColor(90, 90, 90),
            QColor(200, 30, 30),
            QColor(240, 150, 40, 90),
            QColor(30, 80, 170),
            QColor(150, 150, 150),
            QColor(0, 140, 0),
            QColor(30, 30, 30),
            {QColor(31, 119, 180), QColor(255, 127, 14), QColor(44, 160, 44), QColor(214, 39, 40),
             QColor(148, 103, 189), QColor(140, 86, 75), QColor(227, 119, 194), QColor(127, 127, 127)}};
}

QPalette windowPalette(ColourScheme scheme, const QPalette& day) {
    if (scheme == ColourScheme::Day)
        return day;
    const QColor black = colour(chart::colours::black);
    const QColor red = colour(chart::colours::red);
    const QColor darkRed = colour(chart::colours::darkRed);
    QPalette p;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool off = group == QPalette::Disabled;
        const QColor text = off ? darkRed.darker(130) : red;
        p.setColor(group, QPalette::Window, black);
        p.setColor(group, QPalette::Base, black);
        p.setColor(group, QPalette::AlternateBase, QColor(25, 0, 0));
        p.setColor(group, QPalette::WindowText, text);
        p.setColor(group, QPalette::Text, text);
        p.setColor(group, QPalette::ButtonText, text);
        p.setColor(group, QPalette::BrightText, QColor(255, 120, 120));
        p.setColor(group, QPalette::PlaceholderText, darkRed);
        p.setColor(group, QPalette::Button, QColor(40, 0, 0));
        p.setColor(group, QPalette::Light, QColor(110, 0, 0));
        p.setColor(group, QPalette::Midlight, QColor(80, 0, 0));
        p.setColor(group, QPalette::Mid, QColor(60, 0, 0));
        p.setColor(group, QPalette::Dark, QColor(35, 0, 0));
        p.setColor(group, QPalette::Shadow, black);
        p.setColor(group, QPalette::Highlight, darkRed);
        p.setColor(group, QPalette::HighlightedText, QColor(255, 170, 170));
        p.setColor(group, QPalette::ToolTipBase, black);
        p.setColor(group, QPalette::ToolTipText, red);
        p.setColor(group, QPalette::Link, QColor(255, 90, 90));
    }
    return p;
}

QColor failureColour(ColourScheme scheme) {
    return scheme == ColourScheme::Night ? QColor(255, 110, 110) : QColor(192, 0, 0);
}

} // namespace analysis
