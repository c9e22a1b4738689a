#include "app/Form1Layout.h"

#include "chart/Chart.h"
#include "common/ListNumber.h"
#include "common/ProgramInfo.h"
#include "widgets/FittedText.h"
#include "widgets/IndicatorSquare.h"
#include "widgets/OneRowList.h"
#include "widgets/Twips.h"
#include "widgets/TwoStateCheckBox.h"
#include "widgets/Utf8Text.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

namespace app {
namespace {

QRect tw(int left, int top, int width, int height) {
    return widgets::twipsRect(left, top, width, height);
}

QColor rgb(unsigned v) {
    return QColor((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

QFont font(const char* family, double points, bool bold) {
    QFont f(QString::fromLatin1(family));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QFont arialBold() {
    return font("Arial", 9.75, true);
}

// Black background, the given text colour; disabled text stays readable on black.
void paint(QWidget* w, unsigned back, unsigned fore) {
    QPalette pal = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Window, rgb(back));
        pal.setColor(group, QPalette::Base, rgb(back));
        pal.setColor(group, QPalette::Button, rgb(back)); // check boxes fill with the button colour
        pal.setColor(group, QPalette::WindowText, rgb(fore));
        pal.setColor(group, QPalette::Text, rgb(fore));
        pal.setColor(group, QPalette::ButtonText, rgb(fore));
    }
    pal.setColor(QPalette::Disabled, QPalette::Window, rgb(back));
    pal.setColor(QPalette::Disabled, QPalette::Base, rgb(back));
    pal.setColor(QPalette::Disabled, QPalette::Button, rgb(back));
    pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(96, 96, 96));
    pal.setColor(QPalette::Disabled, QPalette::Text, QColor(96, 96, 96));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

// Native (system) colours for controls that have none of their own: buttons and scroll bars. Every role is
// set explicitly so that nothing is inherited from the black window.
void systemColours(QWidget* w) {
    QPalette pal = QApplication::palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (auto role : {QPalette::Window, QPalette::WindowText, QPalette::Button, QPalette::ButtonText,
                          QPalette::Base, QPalette::Text, QPalette::Light, QPalette::Midlight, QPalette::Mid,
                          QPalette::Dark, QPalette::Shadow})
            pal.setColor(group, role, pal.color(group, role));
    w->setPalette(pal);
}

template <typename W>
W* place(W* w, const char* name, QRect where) {
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(where);
    return w;
}

widgets::TwoStateCheckBox* checkBox(QWidget* parent, const char* name, const char* caption, QRect where) {
    auto* c = place(new widgets::TwoStateCheckBox(QString::fromLatin1(caption), parent), name, where);
    c->setFont(arialBold());
    paint(c, 0x000000, colour::kDarkRed);
    // The tick box itself is white with a black tick, as on any check box.
    QPalette pal = c->palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    pal.setColor(QPalette::Disabled, QPalette::Base, QColor(192, 192, 192));
    pal.setColor(QPalette::Disabled, QPalette::Text, QColor(96, 96, 96));
    c->setPalette(pal);
    return c;
}

QLabel* label(QWidget* parent, const char* name, const char* caption, QRect where, unsigned fore,
              const QFont& f = arialBold()) {
    auto* l = place(new QLabel(parent), name, where);
    l->setFont(f);
    paint(l, 0x000000, fore);
    // Shrunk rather than cut where the font runs wider (Label5, which wraps its two lines, starts empty).
    widgets::setTextFitted(l, QString::fromLatin1(caption));
    return l;
}

widgets::OneRowList* list(QWidget* parent, const char* name, const QStringList& items, QRect where,
                          bool enabled) {
    // Each item carries the number at the start of its text ("2 Hz" 2, "0.5" 0.5): the program reads that.
    QList<double> numbers;
    for (const QString& item : items)
        numbers << common::numberAtStart(item.toStdString());
    auto* l = place(new widgets::OneRowList(items, numbers, parent), name, where);
    l->setFont(arialBold());
    paint(l, 0x000000, colour::kRed);
    l->setEnabled(enabled);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, QRect where) {
    auto* b = place(new QPushButton(QString::fromLatin1(caption), parent), name, where);
    b->setFont(font("MS Sans Serif", 9.75, true));
    systemColours(b);
    return b;
}

QStringList steps(int fromTenths, int toTenths, int byTenths) {
    QStringList items;
    for (int t = fromTenths; t <= toTenths; t += byTenths)
        items << QString::number(t / 10) + QLatin1Char('.') + QString::number(t % 10);
    return items;
}

} // namespace

Form1Controls buildForm1Controls(QWidget* client) {
    Form1Controls c;
    paint(client, 0x000000, colour::kRed);

    // The frame that holds almost everything; its children are placed relative to its top-left corner.
    auto* frame = place(new QGroupBox(QStringLiteral("QEL Tracking Error Recorder Ver. ") +
                                          widgets::fromUtf8(common::programVersion),
                                      client),
                        "Frame1", tw(120, 0, 13575, 9495));
    frame->setFont(font("Arial", 14.25, true));
    paint(frame, 0x000000, colour::kOrange);
    frame->setFlat(true);
    c.Frame1 = frame;
    QWidget* f = frame;

    c.check[3] = checkBox(f, "Check4", "Record to File", tw(480, 480, 3015, 255));
    c.check[3]->setChecked(true);
    c.check[2] = checkBox(f, "Check3", "High Speed Record (Display)", tw(480, 960, 3255, 255));
    c.check[2]->setEnabled(false);
    c.check[1] = checkBox(f, "Check2", "Connect to ASCOM Driver", tw(480, 1200, 2895, 255));
    c.check[4] = checkBox(f, "Check5", "Enable ASCOM PID Control", tw(7320, 480, 2895, 255));
    c.check[4]->setEnabled(false);

    c.Label13 = place(new widgets::IndicatorSquare(f), "Label13", tw(480, 1800, 255, 255));
    c.label[13] = label(f, "Label14", "Settings Saved?", tw(840, 1800, 1695, 255), colour::kOrange);
    c.Label3 = place(new widgets::IndicatorSquare(f), "Label3", tw(480, 2160, 255, 255));
    c.label[15] = label(f, "Label16", "Connected to QEL?", tw(840, 2160, 2055, 255), colour::kOrange);

    c.list[0] = list(f, "List1", {"1", "2", "3", "4", "5", "6", "7", "8"}, tw(3600, 480, 1815, 300), true);
    c.label[0] = label(f, "Label1", "Comm Port", tw(5520, 480, 1185, 240), colour::kDarkRed);
    c.list[2] = list(f, "List3", {"2.2", "2.4 ", "2.5", "2.5 (5 Hz nom.)"}, tw(3600, 840, 1815, 300), true);
    c.label[6] = label(f, "Label7", "QEL Version", tw(5520, 840, 1335, 240), colour::kDarkRed);
    c.list[1] = list(f, "List2", {"120", "240", "480", "960", "1920"}, tw(3600, 1200, 1815, 300), false);
    c.label[5] = label(f, "Label6", "Display Samples", tw(5520, 1200, 1665, 240), colour::kDarkRed);

    c.label[4] = label(f, "Label5", "", tw(3720, 1560, 3495, 660), colour::kRed, font("Arial", 12, true));
    c.label[4]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    c.label[4]->setWordWrap(true);
    c.label[3] =
        label(f, "Label4", "HX:ASC: yyyy-MMM-dd HH:nn:ss.ff  TE:  XXX.XXX ASCOM RA: HH:MM:SS DEC: DEG:MM:SS",
              tw(3750, 2160, 8295, 210), colour::kOrange, font("Courier New", 8.25, false));

    c.list[3] = list(f, "List4", {"1 Hz", "2 Hz", "5 Hz"}, tw(7320, 840, 1455, 300), false);
    c.label[7] = label(f, "Label8", "Control Rate", tw(8880, 840, 1185, 240), colour::kDarkRed);
    c.list[4] = list(f, "List5", steps(1, 10, 1) + steps(12, 30, 2), tw(7320, 1200, 1455, 300), false);
    c.label[8] = label(f, "Label9", "Prop Gain", tw(8880, 1200, 1185, 240), colour::kDarkRed);
    c.list[5] = list(f, "List6", steps(0, 10, 1), tw(10320, 480, 1455, 300), false);
    c.label[10] = label(f, "Label11", "Integral Gain", tw(11880, 480, 1545, 255), colour::kDarkRed);
    c.list[6] = list(f, "List7", steps(0, 10, 1), tw(10320, 840, 1455, 300), false);
    c.label[11] = label(f, "Label12", "Derivative Gain", tw(11880, 840, 1545, 240), colour::kDarkRed);
    c.list[7] = list(f, "List8", steps(2, 10, 1), tw(10320, 1200, 1455, 300), false);
    c.label[14] = label(f, "Label15", "Guide Rate", tw(11880, 1200, 1185, 240), colour::kDarkRed);

    c.label[1] = label(f, "Label2", "Output File:", tw(7320, 1680, 1110, 240), colour::kOrange);
    c.Text3 =
        place(new QLineEdit(QStringLiteral("QEL_TE_Recorder1.txt"), f), "Text3", tw(8880, 1680, 4575, 300));
    c.Text3->setFont(font("MS Sans Serif", 9.75, false));
    paint(c.Text3, 0x000000, colour::kRed);

    c.label[16] = label(f, "Label17", "2012-09-21 14:23:04 LCT", tw(9480, 60, 3855, 315), colour::kRed,
                        font("MS Sans Serif", 13.5, true));

    c.command[2] = button(f, "Command3", "Print Chart", tw(480, 4560, 2295, 300));
    c.command[2]->setVisible(false);
    c.Chart1 = place(new chart::Chart(f), "Chart1", tw(120, 4920, 13335, 4455));
    c.Chart1->setFont(font("Tahoma", 8.25, false));
    c.Chart1->setVisible(false);

    // Four controls belong to the window itself and are drawn on top of the frame, at window coordinates.
    c.check[0] = checkBox(client, "Check1", "Display Tabular Data", tw(600, 720, 2775, 255));
    c.command[0] = button(client, "Command1", "Start", tw(600, 2640, 1095, 300));
    c.command[1] = button(client, "Command2", "Stop", tw(600, 3000, 1095, 300));
    c.command[1]->setEnabled(false);
    c.Text1 = place(new QPlainTextEdit(client), "Text1", tw(3840, 2400, 9735, 2415));
    c.Text1->setFont(font("Courier New", 8.25, false));
    c.Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    c.Text1->setReadOnly(true); // the panel shows readings; typing would only confuse its length
    paint(c.Text1, colour::kPanel, colour::kRed);
    systemColours(c.Text1->verticalScrollBar());
    // Opaque (the style covers it anyway): otherwise every move of the bar, once per panel update, repaints
    // Text1 and the frame beneath it as well.
    c.Text1->verticalScrollBar()->setAutoFillBackground(true);
    for (QWidget* w : {static_cast<QWidget*>(c.check[0]), static_cast<QWidget*>(c.command[0]),
                       static_cast<QWidget*>(c.command[1]), static_cast<QWidget*>(c.Text1)})
        w->raise();
    return c;
}

} // namespace app
