// The shared controls: the one-row list's selection and stepping, the two-state check box's clicks and the
// indicator square's colours as painted.
#include "widgets/IndicatorSquare.h"
#include "widgets/OneRowList.h"
#include "widgets/TwoStateCheckBox.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

using widgets::OneRowList;

class TestWidgets : public QObject {
    Q_OBJECT
private slots:
    void listHasARealNoSelectionState();
    void listStepsWithKeysWheelAndArrows();
    void checkBoxClicksToggleOnlyClearAndChecked_data();
    void checkBoxClicksToggleOnlyClearAndChecked();
    void indicatorPaintsRedThenGreen();
};

void TestWidgets::listHasARealNoSelectionState() {
    OneRowList list({"1 Hz", "2 Hz", "5 Hz"});
    QSignalSpy changed(&list, &OneRowList::changed);
    QCOMPARE(list.selectedIndex(), -1);
    QCOMPARE(list.selectedText(), QString());
    QVERIFY(list.setSelectedIndex(1));
    QCOMPARE(list.selectedText(), QStringLiteral("2 Hz"));
    QVERIFY(list.setSelectedIndex(1)); // same item again: no change, no signal
    QVERIFY(!list.setSelectedIndex(3));
    QVERIFY(!list.setSelectedIndex(-2));
    QCOMPARE(list.selectedIndex(), 1);
    QVERIFY(list.setSelectedIndex(-1));
    QCOMPARE(list.selectedText(), QString());
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(0).at(0).toInt(), 1);
    QCOMPARE(changed.at(1).at(0).toInt(), -1);

    list.setEnabled(false); // the program sets values of disabled lists too
    QVERIFY(list.setSelectedIndex(2));
    QCOMPARE(changed.count(), 3);
}

void TestWidgets::listStepsWithKeysWheelAndArrows() {
    OneRowList list({"120", "240", "480"});
    list.resize(121, 20);
    list.show();
    QTest::keyClick(&list, Qt::Key_Down); // from no selection to the first item
    QCOMPARE(list.selectedIndex(), 0);
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Down); // stops at the last item
    QCOMPARE(list.selectedText(), QStringLiteral("480"));
    QTest::keyClick(&list, Qt::Key_Up);
    QCOMPARE(list.selectedIndex(), 1);

    QTest::mouseClick(&list, Qt::LeftButton, {}, QPoint(115, 3)); // upper arrow
    QCOMPARE(list.selectedIndex(), 0);
    QTest::mouseClick(&list, Qt::LeftButton, {}, QPoint(115, 16)); // lower arrow
    QCOMPARE(list.selectedIndex(), 1);
    QTest::mouseClick(&list, Qt::LeftButton, {}, QPoint(20, 10)); // the text itself does not step
    QCOMPARE(list.selectedIndex(), 1);

    QWheelEvent down(QPointF(20, 10), QPointF(20, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&list, &down);
    QCOMPARE(list.selectedIndex(), 2);

    list.setEnabled(false);
    QTest::keyClick(&list, Qt::Key_Up); // the operator cannot step a disabled list
    QCOMPARE(list.selectedIndex(), 2);
}

void TestWidgets::checkBoxClicksToggleOnlyClearAndChecked_data() {
    QTest::addColumn<Qt::CheckState>("setByProgram");
    QTest::addColumn<QList<Qt::CheckState>>("afterEachClick");
    using L = QList<Qt::CheckState>;
    QTest::newRow("clear") << Qt::Unchecked << L{Qt::Checked, Qt::Unchecked, Qt::Checked};
    QTest::newRow("checked") << Qt::Checked << L{Qt::Unchecked, Qt::Checked, Qt::Unchecked};
    QTest::newRow("greyed by a load") << Qt::PartiallyChecked << L{Qt::Checked, Qt::Unchecked, Qt::Checked};
}

void TestWidgets::checkBoxClicksToggleOnlyClearAndChecked() {
    QFETCH(Qt::CheckState, setByProgram);
    QFETCH(QList<Qt::CheckState>, afterEachClick);
    widgets::TwoStateCheckBox box(QStringLiteral("Record to File"));
    box.resize(200, 20);
    box.show();
    box.setCheckState(setByProgram);
    QCOMPARE(box.checkState(), setByProgram); // the program may still grey it
    QList<Qt::CheckState> seen;
    for (int i = 0; i < afterEachClick.size(); ++i) {
        if (i == 1)
            QTest::keyClick(&box, Qt::Key_Space); // the keyboard steps the same way
        else
            QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, 10));
        seen << box.checkState();
    }
    QCOMPARE(seen, afterEachClick);
}

void TestWidgets::indicatorPaintsRedThenGreen() {
    widgets::IndicatorSquare square;
    square.resize(17, 17);
    const auto centre = [&square] {
        return square.grab().toImage().pixelColor(8, 8);
    };
    QCOMPARE(centre(), QColor(255, 0, 0));
    QCOMPARE(square.colour(), widgets::IndicatorSquare::red);
    square.setGreen(true);
    QCOMPARE(centre(), QColor(0, 255, 0));
    square.setEnabled(false); // a disabled square shows its colour all the same
    QCOMPARE(centre(), QColor(0, 255, 0));
}

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
