// Load and Save Settings on real check boxes, line edit and indicator, with stand-in one-row lists: the order
// in which a load changes the controls, that a bad file changes none of them, and the indicator's colour.
#include "settings/SettingsBinder.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace settings;

// A one-row list as the settings need it: items counted, one selected, a change signal on real changes.
class FakeList : public QObject {
    Q_OBJECT
public:
    explicit FakeList(int items)
        : m_count(items) {}
    int count() const { return m_count; }
    int selectedIndex() const { return m_index; }
    bool setSelectedIndex(int index) {
        if (index < -1 || index >= m_count)
            return false;
        if (index != m_index) {
            m_index = index;
            emit changed(index);
        }
        return true;
    }
signals:
    void changed(int index);

private:
    int m_count;
    int m_index = -1;
};

class TestSettingsBinder : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void saveThenLoadChangesNothingAndTurnsGreen();
    void loadSetsControlsInOrderWithReactionsNested();
    void exampleFileLoadsAndSavesBackByteForByte();
    void badFileChangesNoControl_data();
    void badFileChangesNoControl();
    void missingFileAtStartUpAppliesFactorySettings();
    void failedSaveKeepsTheOldFileAndTheRedIndicator();
    void typingInText3TurnsTheIndicatorRed();
    void aNonUtf8FileNameIsReadAsLatin1();

private:
    QString filePath() const { return m_dir.filePath(QStringLiteral("QEL_TE_Recorder.ini")); }
    void writeFile(const QByteArray& bytes);
    QByteArray fileBytes() const;
    QColor indicator() const { return m_label13->grab().toImage().pixelColor(8, 8); }
    QStringList controlValues() const;

    QTemporaryDir m_dir;
    std::vector<std::unique_ptr<FakeList>> m_lists;
    std::vector<std::unique_ptr<QCheckBox>> m_checks;
    std::unique_ptr<QLineEdit> m_text3;
    std::unique_ptr<QLabel> m_label13;
    std::unique_ptr<SettingsBinder> m_binder;
    QStringList m_reactions; // control names, in the order their change reactions ran
};

const QByteArray kExample =
    "[Display]\r\nCommPort= 0\r\nDisplaySamples= 0\r\nQELVersion= 0\r\nRecordToFile= 1\r\n"
    "DisplayTabularData= 0\r\nHighSpeedRecord= 0\r\nConnectToASCOMDriver= 0\r\n"
    "OutputFile=QEL_TE_Recorder1.txt\r\n[ASCOM PID]\r\nEnableASCOMPIDControl= 0\r\n"
    "ControlRate= 0\r\nPropGain= 0\r\nIntegrGain= 0\r\nDerivGain= 0\r\nGuideRate= 0\r\n";

// Every value differs from the window's initial state.
const QByteArray kEveryValueSet =
    "[Display]\r\nCommPort= 7\r\nDisplaySamples= 2\r\nQELVersion= 3\r\n"
    "RecordToFile= 0\r\nDisplayTabularData= 1\r\nHighSpeedRecord= 1\r\n"
    "ConnectToASCOMDriver= 1\r\nOutputFile=night=2.txt\r\n[ASCOM PID]\r\n"
    "EnableASCOMPIDControl= 2\r\nControlRate= 1\r\nPropGain= 19\r\nIntegrGain= 4\r\n"
    "DerivGain= 5\r\nGuideRate= 8\r\n";

void TestSettingsBinder::init() {
    QVERIFY(m_dir.isValid());
    m_reactions.clear();
    SettingsControls controls;
    const int itemCounts[kListCount] = {8, 5, 4, 3, 20, 11, 11, 9};
    m_lists.clear();
    m_checks.clear();
    for (int i = 0; i < kListCount; ++i) {
        m_lists.push_back(std::make_unique<FakeList>(itemCounts[i]));
        connect(m_lists.back().get(), &FakeList::changed, this,
                [this, i] { m_reactions << QStringLiteral("List%1").arg(i + 1); });
        controls.lists[static_cast<std::size_t>(i)] = listControl(m_lists.back().get());
    }
    for (int i = 0; i < kCheckCount; ++i) {
        m_checks.push_back(std::make_unique<QCheckBox>());
        connect(m_checks.back().get(), &QCheckBox::stateChanged, this,
                [this, i] { m_reactions << QStringLiteral("Check%1").arg(i + 1); });
        controls.checks[static_cast<std::size_t>(i)] = m_checks.back().get();
    }
    m_checks[3]->setChecked(true);
    m_text3 = std::make_unique<QLineEdit>(QStringLiteral("QEL_TE_Recorder1.txt"));
    connect(m_text3.get(), &QLineEdit::textChanged, this, [this] { m_reactions << QStringLiteral("Text3"); });
    controls.text3 = m_text3.get();
    m_label13 = std::make_unique<QLabel>();
    m_label13->resize(17, 17);
    controls.label13 = m_label13.get();
    m_binder = std::make_unique<SettingsBinder>(std::move(controls), filePath().toStdString());
    m_reactions.clear();
}

void TestSettingsBinder::cleanup() {
    m_binder.reset();
    QFile::remove(filePath());
}

void TestSettingsBinder::writeFile(const QByteArray& bytes) {
    QFile file(filePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray TestSettingsBinder::fileBytes() const {
    QFile file(filePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList TestSettingsBinder::controlValues() const {
    QStringList values;
    for (const auto& list : m_lists)
        values << QString::number(list->selectedIndex());
    for (const auto& check : m_checks)
        values << (check->checkState() == Qt::Checked            ? "checked"
                   : check->checkState() == Qt::PartiallyChecked ? "greyed"
                                                                 : "clear");
    values << m_text3->text();
    return values;
}

void TestSettingsBinder::saveThenLoadChangesNothingAndTurnsGreen() {
    writeFile(kEveryValueSet);
    QCOMPARE(m_binder->LoadSettings().outcome, LoadResult::Outcome::Loaded);
    m_lists[0]->setSelectedIndex(2);
    QCOMPARE(indicator(), QColor(255, 0, 0));

    QVERIFY(m_binder->SaveSettings().saved);
    QCOMPARE(indicator(), QColor(0, 255, 0));
    QVERIFY(fileBytes().contains("CommPort= 2\r\n") && fileBytes().contains("EnableASCOMPIDControl= 2\r\n"));
    const QStringList before = controlValues();
    m_reactions.clear();
    QCOMPARE(m_binder->LoadSettings().outcome, LoadResult::Outcome::Loaded);
    QCOMPARE(controlValues(), before);
    QCOMPARE(m_reactions, QStringList());
    QCOMPARE(indicator(), QColor(0, 255, 0));
}

void TestSettingsBinder::loadSetsControlsInOrderWithReactionsNested() {
    // What Check2's reaction (the telescope connection) sees of the controls that come after it.
    QStringList seenByCheck2;
    connect(m_checks[1].get(), &QCheckBox::stateChanged, this, [this, &seenByCheck2] {
        seenByCheck2 << (m_checks[4]->checkState() == Qt::Unchecked ? "clear" : "set") << m_text3->text();
    });
    writeFile(kEveryValueSet);
    const LoadResult result = m_binder->LoadSettings();
    QCOMPARE(result.outcome, LoadResult::Outcome::Loaded);
    QCOMPARE(m_reactions, QStringList({"List1", "List2", "List3", "List4", "List5", "List6", "List7", "List8",
                                       "Check1", "Check2", "Check3", "Check4", "Check5", "Text3"}));
    QCOMPARE(seenByCheck2, QStringList({"clear", "QEL_TE_Recorder1.txt"}));
    QCOMPARE(controlValues(), QStringList({"7", "2", "3", "1", "19", "4", "5", "8", "checked", "checked",
                                           "checked", "clear", "greyed", "night=2.txt"}));
    QCOMPARE(indicator(), QColor(0, 255, 0));
}

void TestSettingsBinder::exampleFileLoadsAndSavesBackByteForByte() {
    writeFile(kExample);
    QCOMPARE(m_binder->LoadSettings().outcome, LoadResult::Outcome::Loaded);
    QCOMPARE(controlValues(), QStringList({"0", "0", "0", "0", "0", "0", "0", "0", "clear", "clear", "clear",
                                           "checked", "clear", "QEL_TE_Recorder1.txt"}));
    QFile::remove(filePath());
    QVERIFY(m_binder->SaveSettings().saved);
    QCOMPARE(fileBytes(), kExample);
}

void TestSettingsBinder::badFileChangesNoControl_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QByteArray tooLong = kEveryValueSet + "[More]\r\n[More]\r\n[More]\r\n[More]\r\n[More]\r\n[More]\r\n";
    QTest::newRow("22 lines") << tooLong << "line 22: the file has more than 21 lines";
    QTest::newRow("guide rate 9") << QByteArray(kEveryValueSet).replace("GuideRate= 8", "GuideRate= 9")
                                  << "line 16, Guide Rate";
    QTest::newRow("check state 3") << QByteArray(kEveryValueSet).replace("PIDControl= 2", "PIDControl= 3")
                                   << "line 11, Enable ASCOM PID Control";
    QTest::newRow("list of letters") << QByteArray(kEveryValueSet).replace("CommPort= 7", "CommPort=seven")
                                     << "line 2, Comm Port";
    QTest::newRow("LF line ends") << QByteArray(kEveryValueSet).replace("\r\n", "\n") << "line 2, Comm Port";
}

void TestSettingsBinder::badFileChangesNoControl() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    writeFile(bytes);
    const QStringList before = controlValues();
    const LoadResult result = m_binder->LoadSettings();
    QCOMPARE(result.outcome, LoadResult::Outcome::Failed);
    QVERIFY2(result.message.contains(filePath()) && result.message.contains(reason),
             qPrintable(result.message));
    QCOMPARE(controlValues(), before);
    QCOMPARE(m_reactions, QStringList());
    QCOMPARE(indicator(), QColor(255, 0, 0));
}

void TestSettingsBinder::missingFileAtStartUpAppliesFactorySettings() {
    const LoadResult fromMenu = m_binder->LoadSettings(WhenMissing::Fail);
    QCOMPARE(fromMenu.outcome, LoadResult::Outcome::Failed);
    QVERIFY2(fromMenu.message.contains("does not exist"), qPrintable(fromMenu.message));
    QCOMPARE(m_reactions, QStringList());

    const LoadResult atStartUp = m_binder->LoadSettings(WhenMissing::ApplyFactorySettings);
    QCOMPARE(atStartUp.outcome, LoadResult::Outcome::FactorySettings);
    QVERIFY(atStartUp.message.isEmpty());
    QCOMPARE(controlValues(), QStringList({"0", "0", "0", "0", "0", "0", "0", "0", "clear", "clear", "clear",
                                           "checked", "clear", "QEL_TE_Recorder1.txt"}));
    QCOMPARE(m_reactions.size(), 8); // every list went from no selection to its first item
    QCOMPARE(indicator(), QColor(255, 0, 0));
    QVERIFY(!QFile::exists(filePath()));
}

void TestSettingsBinder::failedSaveKeepsTheOldFileAndTheRedIndicator() {
    writeFile(kExample);
    QVERIFY(QDir().mkdir(filePath() + ".tmp"));
    m_lists[7]->setSelectedIndex(8);
    const SaveResult result = m_binder->SaveSettings();
    QVERIFY(!result.saved);
    QVERIFY2(result.message.contains(filePath()) && result.message.contains("Is a directory"),
             qPrintable(result.message));
    QCOMPARE(fileBytes(), kExample);
    QCOMPARE(indicator(), QColor(255, 0, 0));
    QDir().rmdir(filePath() + ".tmp");
}

void TestSettingsBinder::typingInText3TurnsTheIndicatorRed() {
    writeFile(kExample);
    m_binder->LoadSettings();
    QCOMPARE(indicator(), QColor(0, 255, 0));
    QTest::keyClick(m_text3.get(), Qt::Key_X);
    QCOMPARE(indicator(), QColor(255, 0, 0));
    QVERIFY(m_binder->SaveSettings().saved);
    QCOMPARE(indicator(), QColor(0, 255, 0));
    QCOMPARE(m_text3->text(), QStringLiteral("QEL_TE_Recorder1.txtx"));
}

void TestSettingsBinder::aNonUtf8FileNameIsReadAsLatin1() {
    writeFile(QByteArray(kExample).replace("QEL_TE_Recorder1.txt", "caf\xe9.txt"));
    QCOMPARE(m_binder->LoadSettings().outcome, LoadResult::Outcome::Loaded);
    QCOMPARE(m_text3->text(), QString::fromUtf8("café.txt"));
}

QTEST_MAIN(TestSettingsBinder)
#include "tst_settings_binder.moc"
