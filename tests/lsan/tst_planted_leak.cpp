// A planted leak that the sanitizer run must report: proves that tests/lsan.supp hides only the system's
// known leaks, not a leak in our code reached through Qt Test (which calls every test function from
// libQt6Core). The window and a text make Qt load its fonts and platform, as the real tests do, so their
// leaks must be suppressed and ours must be the only one reported.
#include <QLabel>
#include <QTest>

namespace {
int* volatile planted = nullptr;

__attribute__((noinline)) void plantLeak() {
    planted = new int[100]; // 400 bytes, never freed
    planted = nullptr;
}
} // namespace

class PlantedLeak : public QObject {
    Q_OBJECT
private slots:
    void leakInOurCode() {
        QLabel label(QStringLiteral("QEL TE Recorder"));
        label.show();
        QVERIFY(QTest::qWaitForWindowExposed(&label));
        plantLeak();
    }
};

QTEST_MAIN(PlantedLeak)
#include "tst_planted_leak.moc"
