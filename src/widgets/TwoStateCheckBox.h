// A check box the operator toggles between clear and checked only. The greyed state (Qt::PartiallyChecked,
// 2 in the settings file) is the program's alone: a settings load may set it, and the box shows it, but a
// click on a greyed box checks it and no click ever greys it. A plain QCheckBox, once greyed by the program,
// cycles checked -> clear -> greyed for good. Used for Check1 .. Check5.
#pragma once

#include <QCheckBox>

namespace widgets {

class TwoStateCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TwoStateCheckBox(const QString& caption, QWidget* parent = nullptr);

protected:
    void nextCheckState() override;
};

} // namespace widgets
