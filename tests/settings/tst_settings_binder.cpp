// Load and Save Settings on the window's own kinds of controls: the order in which a load changes them, that
// a bad file changes none of them, what start-up does with a bad file, and the indicator's colour.
#include "settings/SettingsBinder.h"
#include "widgets/IndicatorSquare.h"
#include "widgets/OneRowList.h"
#include "widgets/TwoStateCheckBox.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace settings;

// The window's settings controls in their initial state, and the binder over them.
struct Window {
    std::array<std::unique_ptr<widgets::OneRowList>, kListCount> lists;
    std::array<std::unique_ptr<widgets::TwoStateCheckBox>, kCheckCount> checks;
    QLineEdit text3{QStringLiteral("QEL_TE_Recorder1.txt")};
    widgets::IndicatorSquare label13;
    QStringList reactions; // control names, in the order their change reactions ran
    std::unique_ptr<SettingsBinder> binder;

    explicit Window(const QString& file) {
        SettingsControls controls;
        const int itemCounts[kListCount] = {8, 5, 4, 3, 20, 11, 11, 9};
        for (std::size_t i = 0; i < kListCount; ++i) {
            lists[i] = std::make_unique<widgets::OneRowList>(QStringList(itemCounts[i], QStringLiteral("x")));
            QObject::connect(lists[i].get(), &widgets::OneRowList::changed,
                             [this, i] { reactions << QString("List%1").arg(i + 1); });
            controls.lists[i] = lists[i].get();
        }
        for (std::size_t i = 0; i < kCheckCount; ++i) {
            checks[i] = std::make_unique<widgets::TwoStateCheckBox>(QString());
            QObject::connect(checks[i].get(), &QCheckBox::stateChanged,
                             [this, i] { reactions << QString("Check%1").arg(i + 1); });
            controls.checks[i] = checks[i].get();
        }
        checks[3]->setChecked(true);
        QObject::connect(&text3, &QLineEdit::textChanged, [this] { reactions << "Text3"; });
        controls.text3 = &text3;
        label13.resize(17, 17);
        controls.label13 = &label13;
        binder = std::make_unique<SettingsBinder>(std::move(controls), file.toStdString());
        reactions.clear();
    }
    QColor indicator() { return label13.grab().toImage().pixelColor(8, 8); }
    QStringList controlValues() const {
        QStringList values;
        for (const auto& list : lists)
            values << QString::number(list->selectedIndex());
        for (const auto& check : checks)
            values << QStringList{"clear", "greyed", "checked"}.at(check->checkState());
        return values << text3.text();
    }
};

const QColor kRed(255, 0, 0), kGreen(0, 255, 0);
// Every value differs from the window's initial state; the file name is Latin-1, not UTF-8.
const QByteArray kEveryValueSet = "[Display]\r\nCommPort= 7\r\nDisplaySamples= 2\r\nQELVersion= 3\r\n"
                                  "RecordToFile= 0\r\nDisplayTabularData= 1\r\nHighSpeedRecord= 1\r\n"
                                  "ConnectToASCOMDriver= 1\r\nOutputFile=caf\xe9=2.txt\r\n[ASCOM PID]\r\n"
                                  "EnableASCOMPIDControl= 2\r\nControlRate= 1\r\nPropGain= 19\r\n"
                                  "IntegrGain= 4\r\nDerivGain= 5\r\nGuideRate= 8\r\n";

class TestSettingsBinder : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    const QString m_file = m_dir.filePath(QStringLiteral("QEL_TE_Recorder.ini"));
    std::unique_ptr<Window> w;

    void writeFile(const QByteArray& bytes) {
        QFile file(m_file);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    QByteArray fileBytes() const {
        QFile file(m_file);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init() { w = std::make_unique<Window>(m_file); }
    void cleanup() {
        w.reset();
        QFile::remove(m_file);
    }

    void firstStartAppliesFactorySettings() {
        const LoadResult result = w->binder->LoadSettings(LoadFrom::StartUp);
        QCOMPARE(result.outcome, LoadResult::Outcome::FactorySettings);
        QCOMPARE(result.message, QString()); // a first start is no error
        QCOMPARE(w->reactions.size(), 8);    // every list went from no selection to its first item
        QCOMPARE(w->indicator(), kRed);
        QVERIFY(!QFile::exists(m_file));
    }

    void saveThenLoadChangesNothingUntilOneCharacterIsTyped() {
        writeFile(kEveryValueSet);
        QCOMPARE(w->binder->LoadSettings().outcome, LoadResult::Outcome::Loaded);
        w->lists[0]->setSelectedIndex(2);
        QCOMPARE(w->indicator(), kRed);
        QVERIFY(w->binder->SaveSettings().saved);
        QCOMPARE(w->indicator(), kGreen);
        QVERIFY(fileBytes().contains("CommPort= 2\r\n") &&
                fileBytes().contains("EnableASCOMPIDControl= 2\r\n"));
        const QStringList before = w->controlValues();
        w->reactions.clear();
        QCOMPARE(w->binder->LoadSettings().outcome, LoadResult::Outcome::Loaded);
        QCOMPARE(w->controlValues(), before);
        QCOMPARE(w->reactions, QStringList());
        QCOMPARE(w->indicator(), kGreen);
        QTest::keyClick(&w->text3, Qt::Key_X); // one character typed in the record-file name
        QCOMPARE(w->indicator(), kRed);
    }

    void loadSetsControlsInOrderWithReactionsNested() {
        // What Check2's reaction (the telescope connection) sees of the controls that come after it.
        QStringList seenByCheck2;
        connect(w->checks[1].get(), &QCheckBox::stateChanged, this, [this, &seenByCheck2] {
            seenByCheck2 << (w->checks[4]->checkState() == Qt::Unchecked ? "clear" : "set")
                         << w->text3.text();
        });
        writeFile(kEveryValueSet);
        QCOMPARE(w->binder->LoadSettings().outcome, LoadResult::Outcome::Loaded);
        QCOMPARE(w->reactions,
                 QStringList({"List1", "List2", "List3", "List4", "List5", "List6", "List7", "List8",
                              "Check1", "Check2", "Check3", "Check4", "Check5", "Text3"}));
        QCOMPARE(seenByCheck2, QStringList({"clear", "QEL_TE_Recorder1.txt"}));
        // GuideRate= 8 selects the last guide rate, "1.0"; EnableASCOMPIDControl= 2 greys Check5.
        QCOMPARE(w->controlValues(),
                 QStringList({"7", "2", "3", "1", "19", "4", "5", "8", "checked", "checked", "checked",
                              "clear", "greyed", QString::fromUtf8("café=2.txt")}));
        QCOMPARE(w->indicator(), kGreen);
    }

    // One row per kind of refusal; every way a file is refused: test_settings_file, test_control_settings.
    void badFileChangesNoControl_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no file") << QByteArray() << "does not exist";
        QTest::newRow("guide rate 9")
            << QByteArray(kEveryValueSet).replace("GuideRate= 8", "GuideRate= 9") << "line 16, Guide Rate";
        QTest::newRow("check state 3") << QByteArray(kEveryValueSet).replace("PIDControl= 2", "PIDControl= 3")
                                       << "line 11, Enable ASCOM PID Control";
    }
    void badFileChangesNoControl() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        if (!bytes.isNull())
            writeFile(bytes);
        const QStringList before = w->controlValues();
        const LoadResult result = w->binder->LoadSettings();
        QCOMPARE(result.outcome, LoadResult::Outcome::Failed);
        QVERIFY2(result.message.contains(m_file) && result.message.contains(reason),
                 qPrintable(result.message));
        QCOMPARE(w->controlValues(), before);
        QCOMPARE(w->reactions, QStringList());
        QCOMPARE(w->indicator(), kRed);
    }

    void failedSaveKeepsTheOldFileAndTheRedIndicator() {
        writeFile(kEveryValueSet);
        QVERIFY(QDir().mkdir(m_file + ".tmp"));
        const SaveResult result = w->binder->SaveSettings();
        QDir().rmdir(m_file + ".tmp");
        QVERIFY(!result.saved);
        QVERIFY2(result.message.contains(m_file) && result.message.contains("Is a directory"),
                 qPrintable(result.message));
        QCOMPARE(fileBytes(), kEveryValueSet);
        QCOMPARE(w->indicator(), kRed);
    }
};

QTEST_MAIN(TestSettingsBinder)
#include "tst_settings_binder.moc"
