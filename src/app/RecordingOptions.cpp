// Reactions of the recording and display options, and their values for the acquisition.
#include "app/RecordingOptions.h"

#include "acquisition/AcquisitionMode.h"
#include "acquisition/ReadingProcessor.h"
#include "widgets/OneRowList.h"
#include "widgets/TwoStateCheckBox.h"

namespace app {
namespace {

bool isChecked(const QCheckBox* box) {
    return box->checkState() == Qt::Checked;
}

} // namespace

RecordingOptions::RecordingOptions(const Form1Controls& controls, acquisition::ReadingProcessor& processor,
                                   QObject* parent)
    : QObject(parent)
    , m_c(controls)
    , m_processor(processor) {
    // Each change also turns the settings indicator red: the settings binder listens to the same signals.
    connect(m_c.Check(3), &QCheckBox::stateChanged, this, &RecordingOptions::Check3_Click);
    connect(m_c.Check(4), &QCheckBox::stateChanged, this, &RecordingOptions::recordToFileChanged);
    connect(m_c.List(2), &widgets::OneRowList::changed, this, &RecordingOptions::List2_Click);
    connect(m_c.List(3), &widgets::OneRowList::changed, this, &RecordingOptions::List3_Click);
}

const acquisition::AcquisitionOptions& RecordingOptions::forNextReadings() {
    m_versionText = m_c.List(3)->selectedText().toStdString();
    m_options.versionText = m_versionText;
    m_options.check1Checked = isChecked(m_c.Check(1));
    m_options.check2Checked = isChecked(m_c.Check(2));
    m_options.check3Enabled = m_c.Check(3)->isEnabled();
    m_options.check3Checked = isChecked(m_c.Check(3));
    m_options.check4Checked = isChecked(m_c.Check(4));
    return m_options;
}

bool RecordingOptions::recordToFile() const {
    return isChecked(m_c.Check(4));
}

bool RecordingOptions::isFiveHzVersion() const {
    return acquisition::isFiveHzVersion(m_c.List(3)->selectedText().toStdString());
}

void RecordingOptions::Check3_Click() {
    m_c.Check(1)->setCheckState(Qt::Unchecked);
    m_processor.resetStatistics();
    m_c.Check(4)->setText(isChecked(m_c.Check(3)) ? QStringLiteral("High Speed Record to File")
                                                  : QStringLiteral("Record to File"));
}

void RecordingOptions::List2_Click() {
    // Any text that is not one of the five sizes keeps the current size; the trace is cleared either way.
    m_processor.chooseDisplaySize(m_c.List(2)->selectedNumber());
}

void RecordingOptions::List3_Click() {
    // Only whether the operator can change Check3; its value stays. Check5 is enabled only at start-up.
    m_c.Check(3)->setEnabled(isFiveHzVersion());
}

} // namespace app
