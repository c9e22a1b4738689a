// The chooser dialog (preselection, Return, Esc, sources' findings) and the position poll (never queued
// behind a poll in flight) with a FakeDriver. "None" after failed polls: test_position_text.
#include "support/FakeDriver.h"
#include "telescope/ChooserDialog.h"
#include "telescope/PositionPoll.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace telescope;

namespace {

// A source answering from a list, at once or when the test says.
class ListSource : public TelescopeSource {
public:
    std::vector<TelescopeEntry> entries;
    std::string problem;
    std::string askedHost;
    std::uint16_t askedPort = 0;
    std::string name() const override { return "Test"; }
    std::uint16_t defaultPort() const override { return 11111; }
    void search(SearchDone done) override { done(entries, problem); }
    void askServer(const std::string& host, std::uint16_t port, SearchDone done) override {
        askedHost = host;
        askedPort = port;
        done(entries, problem);
    }
};

const std::string kId = "alpaca://127.0.0.1:11111/telescope/0";

} // namespace

class TestTelescopeUi : public QObject {
    Q_OBJECT

private slots:
    void returnAcceptsThePreselectedTelescopeAndEscReturnsNothing() {
        ListSource source;
        for (const bool escape : {false, true}) {
            ChooserDialog dialog({&source}, kId);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            QVERIFY(ok->isDefault());
            QCOMPARE(
                dialog.findChild<QListWidget*>("telescopes")->currentItem()->data(Qt::UserRole).toString(),
                QString::fromStdString(kId));
            QTest::keyClick(&dialog, escape ? Qt::Key_Escape : Qt::Key_Return);
            QCOMPARE(dialog.result(), escape ? int(QDialog::Rejected) : int(QDialog::Accepted));
            QCOMPARE(dialog.chosen(), escape ? std::string() : kId);
        }
    }

    void discoveredTelescopesAreListedAndTheChoiceStands() {
        ListSource source;
        source.entries = {{"alpaca://127.0.0.1:4000/telescope/0", "Mount A", "127.0.0.1:4000"},
                          {"alpaca://127.0.0.1:4000/telescope/1", "Mount B", "127.0.0.1:4000"}};
        ChooserDialog dialog({&source}, "");
        dialog.discover();
        auto* list = dialog.findChild<QListWidget*>("telescopes");
        QCOMPARE(list->count(), 2);
        list->setCurrentRow(1);
        const auto* identifier = dialog.findChild<QLineEdit*>("identifier");
        QCOMPARE(identifier->text(), QStringLiteral("alpaca://127.0.0.1:4000/telescope/1"));
        dialog.discover(); // a second search adds nothing twice and keeps the choice
        QCOMPARE(list->count(), 2);
        QCOMPARE(identifier->text(), QStringLiteral("alpaca://127.0.0.1:4000/telescope/1"));
        // A server typed by hand is asked; a problem is shown in words.
        source.problem = "127.0.0.1:4001 could not be reached";
        source.entries.clear();
        dialog.askServer();
        QVERIFY(source.askedHost == "127.0.0.1" && source.askedPort == 11111);
        QVERIFY(dialog.findChild<QLabel*>("status")->text().contains("could not be reached"));
    }

    void aPollInFlightIsNeverQueuedBehind() {
        FakeDriver driver;
        driver.holdAnswers = true;
        PositionPoll poll;
        QSignalSpy texts(&poll, &PositionPoll::positionTexts);
        poll.start(driver);
        QVERIFY(poll.PositionCalc_Timer()->isActive() && poll.PositionCalc_Timer()->interval() == 1000);
        for (int i = 0; i < 3; ++i)
            poll.tick();
        QCOMPARE(driver.calls, (std::vector<std::string>{"declination"}));
        QCOMPARE(poll.skippedTicks(), 2);
        driver.releaseAll(); // declination answers, rightAscension goes out
        driver.releaseAll();
        QCOMPARE(texts.count(), 1);
        QCOMPARE(texts.at(0),
                 (QVariantList{QStringLiteral("RA  05:30:00"), QStringLiteral("DEC  +45:15:00")}));
        poll.tick();
        QCOMPARE(driver.calls.size(), size_t(3));
        // Stopped while reads are out: their late answers change nothing.
        poll.stop();
        driver.releaseAll();
        driver.releaseAll();
        QCOMPARE(texts.count(), 1);
        QVERIFY(!poll.PositionCalc_Timer()->isActive());
    }
};

QTEST_MAIN(TestTelescopeUi)
#include "tst_telescope_ui.moc"
