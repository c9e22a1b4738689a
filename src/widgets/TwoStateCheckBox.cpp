// The two-state check box: only the step a click takes differs from QCheckBox.
#include "widgets/TwoStateCheckBox.h"

namespace widgets {

TwoStateCheckBox::TwoStateCheckBox(const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent) {}

void TwoStateCheckBox::nextCheckState() {
    // setCheckState(PartiallyChecked) makes a QCheckBox three-state for good; clicks never go there.
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    setTristate(false);
}

} // namespace widgets
