// The main window's controls, created at their places, in their colours, fonts and initial states.
// Positions are given in twips (15 twips to a pixel) and converted here; every control carries its name as
// its Qt object name so that tests and operators' scripts find it.
#pragma once

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace chart {
class Chart;
}

namespace widgets {
class IndicatorSquare;
class OneRowList;
class TwoStateCheckBox;
} // namespace widgets

namespace app {

struct Form1Controls {
    QGroupBox* Frame1 = nullptr;
    // Check1 .. Check5 at index 0 .. 4, and so on for the other arrays.
    std::array<widgets::TwoStateCheckBox*, 5> check{};
    std::array<widgets::OneRowList*, 8> list{};
    std::array<QLabel*, 17> label{}; // the captions and texts; Label3 and Label13 are the squares below
    widgets::IndicatorSquare* Label3 = nullptr;  // "Connected to QEL?"
    widgets::IndicatorSquare* Label13 = nullptr; // "Settings Saved?"
    std::array<QPushButton*, 3> command{};
    QPlainTextEdit* Text1 = nullptr;
    QLineEdit* Text3 = nullptr;
    chart::Chart* Chart1 = nullptr;

    widgets::TwoStateCheckBox* Check(int n) const { return check[static_cast<std::size_t>(n - 1)]; }
    widgets::OneRowList* List(int n) const { return list[static_cast<std::size_t>(n - 1)]; }
    QLabel* Label(int n) const { return label[static_cast<std::size_t>(n - 1)]; }
    QPushButton* Command(int n) const { return command[static_cast<std::size_t>(n - 1)]; }
};

// The client area: 13815 x 9600 twips.
inline constexpr int kClientWidth = 921;
inline constexpr int kClientHeight = 640;

// Builds every control of the main window on `client` (the central widget, black, 921 x 640).
Form1Controls buildForm1Controls(QWidget* client);

// Colours of the window's scheme.
namespace colour {
inline constexpr unsigned kRed = 0xFF0000;
inline constexpr unsigned kDarkRed = 0xC00000;
inline constexpr unsigned kOrange = 0xC04000;
inline constexpr unsigned kPanel = 0x400000; // the text panel's very dark red
} // namespace colour

} // namespace app
