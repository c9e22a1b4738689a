#include "widgets/FittedText.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QVariant>

namespace widgets {

namespace {
const char* const kDesignFont = "qelDesignFont";
constexpr double kSmallestPoints = 5.0;
} // namespace

void setTextFitted(QLabel* label, const QString& text) {
    QVariant design = label->property(kDesignFont);
    if (!design.isValid()) {
        design = label->font();
        label->setProperty(kDesignFont, design);
    }
    QFont font = design.value<QFont>();
    const double room = label->contentsRect().width() - 2 * label->margin() - label->indent();
    // Half a point at a time: the largest size at which the text fits.
    while (font.pointSizeF() > kSmallestPoints && QFontMetricsF(font).horizontalAdvance(text) > room)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    if (label->font() != font)
        label->setFont(font);
    label->setText(text);
}

} // namespace widgets
