// The small indicator square of the window (Label3 "Connected to QEL?", Label13 "Settings Saved?" and the
// telescope's): a bordered square without caption whose whole state is its colour, red or green.
#pragma once

#include <QFrame>

namespace widgets {

class IndicatorSquare : public QFrame {
    Q_OBJECT
public:
    // The one pair of colours, as RGB: red for "not yet / not any more", green for "done / connected".
    static constexpr unsigned red = 0xFF0000;
    static constexpr unsigned green = 0x00FF00;

    // Starts red.
    explicit IndicatorSquare(QWidget* parent = nullptr);

    // Repaints only when the colour really changes (Label13 hears every keystroke in Text3).
    void setGreen(bool green);
    bool isGreen() const { return m_green; }
    // The colour the square shows now, as RGB (red or green).
    unsigned colour() const;

private:
    bool m_green = false;
};

} // namespace widgets
