// The indicator square: its colour is its palette's window colour in every state, enabled or not.
#include "widgets/IndicatorSquare.h"

#include <QPalette>

namespace widgets {
namespace {

QColor qtColour(unsigned rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void paint(QFrame* square, unsigned rgb) {
    QPalette palette = square->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, qtColour(rgb));
        palette.setColor(group, QPalette::WindowText, Qt::black); // the single-line border
    }
    square->setPalette(palette);
}

} // namespace

IndicatorSquare::IndicatorSquare(QWidget* parent)
    : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAutoFillBackground(true);
    paint(this, red);
}

void IndicatorSquare::setGreen(bool green) {
    if (green == m_green)
        return;
    m_green = green;
    paint(this, colour());
}

unsigned IndicatorSquare::colour() const {
    return m_green ? green : red;
}

} // namespace widgets
