// Load and Save Settings between the window's controls and the settings file, and the indicator Label13.
#include "settings/SettingsBinder.h"

#include "settings/SettingsMessages.h"
#include "widgets/IndicatorSquare.h"
#include "widgets/OneRowList.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QStringDecoder>

#include <system_error>

namespace settings {

namespace {

// The file holds the record-file name in the system's 8-bit encoding. A file carried over from a Windows
// installation may hold a name that is not UTF-8; read that one as Latin-1 rather than lose its characters.
QString textFromFile(const std::string& bytes) {
#ifdef _WIN32
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
#else
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf8.hasError())
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return text;
#endif
}

// The file's check states are 0 clear, 1 checked, 2 greyed; Qt numbers checked and greyed the other way
// round.
Qt::CheckState toCheckState(int state) {
    return state == 1 ? Qt::Checked : state == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

int fromCheckState(Qt::CheckState state) {
    return state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
}

std::string textForFile(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace

std::filesystem::path settingsFileInWorkingDirectory() {
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::current_path(error);
    return error ? std::filesystem::path(kSettingsFileName) : directory / kSettingsFileName;
}

SettingsBinder::SettingsBinder(SettingsControls controls, std::filesystem::path file, QObject* parent)
    : QObject(parent)
    , m_controls(std::move(controls))
    , m_file(std::move(file)) {
    for (widgets::OneRowList* list : m_controls.lists)
        connect(list, &widgets::OneRowList::changed, this, &SettingsBinder::markUnsaved);
    for (QCheckBox* check : m_controls.checks)
        connect(check, &QCheckBox::stateChanged, this, &SettingsBinder::markUnsaved);
    connect(m_controls.text3, &QLineEdit::textChanged, this, &SettingsBinder::markUnsaved);
    markUnsaved();
}

SettingsBinder::~SettingsBinder() = default;

LoadResult SettingsBinder::LoadSettings(LoadFrom from) {
    const AfterFailedLoad after =
        from == LoadFrom::StartUp ? AfterFailedLoad::FactorySettingsInUse : AfterFailedLoad::NothingChanged;
    const std::string fileName = fileNameForOperator().toStdString();
    std::string failure;
    SettingValues values = m_values;
    if (const SettingsFileError error = ReadSettingsFile(m_file, values)) {
        if (error.kind != SettingsFileError::Kind::NoFile || from == LoadFrom::Menu)
            failure = loadFailureMessage(fileName, error, after);
    } else {
        std::array<int, kListCount> itemCounts{};
        for (std::size_t i = 0; i < kListCount; ++i)
            itemCounts[i] = m_controls.lists[i]->count();
        SettingsProblem problem;
        if (const auto settings = readSettings(values, itemCounts, problem)) {
            m_values = values;
            apply(*settings);
            m_controls.label13->setGreen(true);
            return {LoadResult::Outcome::Loaded, {}};
        }
        failure = loadFailureMessage(fileName, problem, after);
    }

    if (from == LoadFrom::Menu)
        return {LoadResult::Outcome::Failed, QString::fromStdString(failure)};
    // A start-up that left the lists without a selection would make Start fail and Save write positions
    // the next start refuses: take the factory settings, as on a first start.
    apply(factorySettings());
    markUnsaved(); // nothing has been saved
    return {LoadResult::Outcome::FactorySettings, QString::fromStdString(failure)};
}

SaveResult SettingsBinder::SaveSettings() {
    storeSettings(currentSettings(), m_values);
    if (const SettingsFileError error = WriteSettingsFile(m_file, m_values))
        return {false,
                QString::fromStdString(saveFailureMessage(fileNameForOperator().toStdString(), error))};
    m_controls.label13->setGreen(true);
    return {true, {}};
}

bool SettingsBinder::isSaved() const {
    return m_controls.label13->isGreen();
}

void SettingsBinder::markUnsaved() {
    m_controls.label13->setGreen(false);
}

ControlSettings SettingsBinder::currentSettings() const {
    ControlSettings settings;
    for (std::size_t i = 0; i < kListCount; ++i)
        settings.listPositions[i] = m_controls.lists[i]->selectedIndex();
    for (std::size_t i = 0; i < kCheckCount; ++i)
        settings.checkStates[i] = fromCheckState(m_controls.checks[i]->checkState());
    settings.outputFile = textForFile(m_controls.text3->text());
    return settings;
}

void SettingsBinder::apply(const ControlSettings& settings) {
    // Each setter emits the control's change signal when the value really changes, so the window's reactions
    // run here, nested, in this order (a telescope connection from Check2 before Check5's guiding switch).
    for (std::size_t i = 0; i < kListCount; ++i)
        m_controls.lists[i]->setSelectedIndex(settings.listPositions[i]);
    for (std::size_t i = 0; i < kCheckCount; ++i)
        m_controls.checks[i]->setCheckState(toCheckState(settings.checkStates[i]));
    m_controls.text3->setText(textFromFile(settings.outputFile));
}

QString SettingsBinder::fileNameForOperator() const {
#ifdef _WIN32
    return QString::fromStdWString(m_file.native());
#else
    return QString::fromLocal8Bit(m_file.native());
#endif
}

} // namespace settings
