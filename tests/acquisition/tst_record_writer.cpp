// The record writer under a Qt event loop: while the medium stops answering for 2 s the loop keeps ticking
// and lines keep being queued, and every line arrives in order. (Reports reaching the window:
// tst_recording_run's full disk.)
#include "RecordingSinks.h"
#include "acquisition/RecordWriter.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

class RecordWriterTest : public QObject {
    Q_OBJECT

private slots:
    void eventLoopKeepsTickingWhileTheMediumIsStuck() {
        testsinks::Journal journal;
        acquisition::RecordWriter writer;
        writer.open(
            std::make_unique<testsinks::JournalSink>("A", journal, [] { std::this_thread::sleep_for(2s); }),
            "run.txt");

        // One line per tick, as readings arrive, until the stuck write has ended and 20 more lines were
        // queued.
        int lines = 0, ticksWhileStuck = 0, afterwards = 0;
        QTimer tick;
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const bool stuck = journal.entries().empty();
            if (stuck && lines > 0)
                ++ticksWhileStuck;
            if (!stuck && ++afterwards > 20) {
                tick.stop();
                return;
            }
            QVERIFY(writer.writeLine("line " + std::to_string(++lines)).written);
        });
        tick.start();
        QTRY_VERIFY_WITH_TIMEOUT(!tick.isActive(), 30000);
        // A write on this thread would have held the loop for the whole 2 s: not a single tick in between.
        QVERIFY2(ticksWhileStuck >= 10, qPrintable(QString::number(ticksWhileStuck)));

        writer.close(); // returns at once; the queued lines are written before the sink closes
        writer.waitUntilIdle();
        std::vector<std::string> expected;
        for (int i = 1; i <= lines; ++i)
            expected.push_back("A:line " + std::to_string(i));
        std::vector<std::string> written = journal.entries();
        std::erase(written, "A:sync");
        QCOMPARE(written.back(), std::string("A:closed"));
        written.pop_back();
        QCOMPARE(written, expected);
    }
};

QTEST_GUILESS_MAIN(RecordWriterTest)
#include "tst_record_writer.moc"
