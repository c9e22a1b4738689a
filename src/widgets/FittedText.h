// Text for a one-line label of fixed size (the window's layout is fixed): shown in the label's own font when
// it fits, otherwise in the largest smaller size of the same font that does, so that a desktop whose font
// runs wider shows the whole text instead of cutting it. Used for the window's captions, the clock and the
// live line's heading.
#pragma once

#include <QString>

class QLabel;

namespace widgets {

// Sets text on label. The font the label has at the first call is its design font: each call starts from it,
// so a shorter text is shown full size again. Never below 5 points.
void setTextFitted(QLabel* label, const QString& text);

} // namespace widgets
