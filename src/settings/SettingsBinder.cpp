// Load and Save Settings between the window's controls and the settings file, and the indicator Label13.
#include "settings/SettingsBinder.h"

#include "settings/SettingsMessages.h"

#include <QCheckBox>
#include <QLabel>
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
    for (auto& list : m_controls.lists)
        list->onChanged(this, [this] { markUnsaved(); });
    for (QCheckBox* check : m_controls.checks)
        connect(check, &QCheckBox::stateChanged, this, &SettingsBinder::markUnsaved);
    connect(m_controls.text3, &QLineEdit::textChanged, this, &SettingsBinder::markUnsaved);
    setIndicator(false);
}

SettingsBinder::~SettingsBinder() = default;

LoadResult SettingsBinder::LoadSettings(WhenMissing whenMissing) {
    SettingValues values = m_values;
    if (const SettingsFileError error = ReadSettingsFile(m_file, values)) {
        if (error.kind == SettingsFileError::Kind::NoFile &&
            whenMissing == WhenMissing::ApplyFactorySettings) {
            apply(factorySettings());
            setIndicator(false); // nothing has been saved yet
            return {LoadResult::Outcome::FactorySettings, {}};
        }
        return {LoadResult::Outcome::Failed,
                QString::fromStdString(loadFailureMessage(fileNameForOperator().toStdString(), error))};
    }

    std::array<int, kListCount> itemCounts{};
    for (std::size_t i = 0; i < kListCount; ++i)
        itemCounts[i] = m_controls.lists[i]->count();
    SettingsProblem problem;
    const auto settings = readSettings(values, itemCounts, problem);
    if (!settings)
        return {LoadResult::Outcome::Failed,
                QString::fromStdString(loadFailureMessage(fileNameForOperator().toStdString(), problem))};

    m_values = values;
    apply(*settings);
    setIndicator(true);
    return {LoadResult::Outcome::Loaded, {}};
}

SaveResult SettingsBinder::SaveSettings() {
    storeSettings(currentSettings(), m_values);
    if (const SettingsFileError error = WriteSettingsFile(m_file, m_values))
        return {false,
                QString::fromStdString(saveFailureMessage(fileNameForOperator().toStdString(), error))};
    setIndicator(true);
    return {true, {}};
}

void SettingsBinder::markUnsaved() {
    setIndicator(false);
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

void SettingsBinder::setIndicator(bool saved) {
    // Every keystroke in Text3 lands here; repaint only when the colour really changes.
    if (m_indicatorShown && m_saved == saved)
        return;
    m_saved = saved;
    m_indicatorShown = true;
    // The square's background is its palette's window colour in every state, as for the window's other
    // indicator squares, so the window reads both the same way.
    const QColor colour = saved ? QColor(0, 255, 0) : QColor(255, 0, 0);
    QPalette palette = m_controls.label13->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Window, colour);
    m_controls.label13->setPalette(palette);
    m_controls.label13->setAutoFillBackground(true);
}

QString SettingsBinder::fileNameForOperator() const {
#ifdef _WIN32
    return QString::fromStdWString(m_file.native());
#else
    return QString::fromLocal8Bit(m_file.native());
#endif
}

} // namespace settings
