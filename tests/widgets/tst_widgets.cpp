// The one-row list: its real no-selection state and its stepping by keys and wheel; a fixed label's text
// fitted rather than cut. (The two-state check box and the indicator square are tested on the window and
// the settings binder.)
#include "widgets/FittedText.h"
#include "widgets/OneRowList.h"

#include <QLabel>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

using widgets::OneRowList;

class TestWidgets : public QObject {
    Q_OBJECT

private slots:
    // The clock's text on a desktop whose font runs wider than the layout's: the whole text in a smaller size
    // of the same font, and the design size again once a text fits.
    void aTextTooWideForItsLabelIsShrunkNotCut() {
        QLabel clock;
        clock.setGeometry(0, 0, 257, 21);
        QFont wide(QStringLiteral("DejaVu Sans"));
        wide.setPointSizeF(13.5);
        wide.setBold(true);
        clock.setFont(wide);
        const QString text = QStringLiteral("2026-Dec-07 11:35:47 LCT");
        widgets::setTextFitted(&clock, text);
        QCOMPARE(clock.text(), text);
        QCOMPARE(clock.font().family(), wide.family());
        QVERIFY(clock.font().pointSizeF() < 13.5);
        QVERIFY(QFontMetricsF(clock.font()).horizontalAdvance(text) <= clock.contentsRect().width());
        widgets::setTextFitted(&clock, QStringLiteral("LCT"));
        QCOMPARE(clock.font().pointSizeF(), 13.5);
    }

    void listHasARealNoSelectionState() {
        OneRowList list({"1 Hz", "2 Hz", "5 Hz"});
        QSignalSpy changed(&list, &OneRowList::changed);
        QCOMPARE(list.selectedIndex(), -1);
        QCOMPARE(list.selectedText(), QString());
        QVERIFY(list.setSelectedIndex(1));
        QCOMPARE(list.selectedText(), QStringLiteral("2 Hz"));
        QVERIFY(list.setSelectedIndex(1)); // same item again: no change, no signal
        QVERIFY(!list.setSelectedIndex(3) && !list.setSelectedIndex(-2));
        QCOMPARE(list.selectedIndex(), 1);
        QVERIFY(list.setSelectedIndex(-1));
        QCOMPARE(list.selectedText(), QString());
        QVERIFY(changed == (QList<QVariantList>{{1}, {-1}}));

        list.setEnabled(false); // the program sets values of disabled lists too
        QVERIFY(list.setSelectedIndex(2));
        QCOMPARE(changed.count(), 3);
    }

    void listStepsWithKeysAndWheel() {
        OneRowList list({"120", "240", "480"});
        list.resize(121, 20);
        list.show();
        QTest::keyClick(&list, Qt::Key_Down); // from no selection to the first item
        QCOMPARE(list.selectedIndex(), 0);
        for (int i = 0; i < 3; ++i) // stops at the last item
            QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(list.selectedText(), QStringLiteral("480"));
        QTest::keyClick(&list, Qt::Key_Up);
        QCOMPARE(list.selectedIndex(), 1);

        QWheelEvent down(QPointF(20, 10), QPointF(20, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&list, &down);
        QCOMPARE(list.selectedIndex(), 2);

        list.setEnabled(false);
        QTest::keyClick(&list, Qt::Key_Up); // the operator cannot step a disabled list
        QCOMPARE(list.selectedIndex(), 2);
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
