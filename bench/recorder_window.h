// The recorder's window as the program builds it (see app::runRecorder): the event log in the working
// directory, Form1 started up and shown. Shared by the benchmarks that drive the real window.
#pragma once

#include "app/EventLog.h"
#include "app/Form1.h"
#include "app/TelescopeLink.h"
#include "common/Clock.h"
#include "common/TimeStamp.h"
#include "load_probes.h"
#include "widgets/TwoStateCheckBox.h"

#include <QElapsedTimer>
#include <QTimer>

#include <memory>
#include <string>

namespace benchwindow {

class RecorderWindow {
public:
    // Null, with the system's reason in `error`, when the event log cannot be created.
    static std::unique_ptr<RecorderWindow> open(std::string& error) {
        std::unique_ptr<RecorderWindow> w(new RecorderWindow);
        auto opened = app::EventLog::open(app::kEventLogName, w->m_clock, w->m_formatter);
        if (!opened.log) {
            error = opened.error;
            return nullptr;
        }
        w->m_log = std::move(opened.log);
        w->m_form = std::make_unique<app::Form1>(w->m_clock, w->m_formatter, *w->m_log);
        w->m_form->startUp();
        w->m_form->show();
        return w;
    }

    app::Form1& form() { return *m_form; }

    // Checks Check5 with the chooser answering `id`, as the operator would pick the mount, and waits up to
    // 20 s for the connection to write the guide rate `rate`. False when it does not come.
    bool connectForGuiding(const std::string& id, double rate) {
        app::TelescopeLink& link = m_form->telescopeLink();
        link.setChooser([id](const std::string&) { return id; });
        m_form->controls().Check(5)->setChecked(true); // checks Check2, which connects
        QElapsedTimer wait;
        wait.start();
        while ((!link.PositionCalc_Timer()->isActive() || link.guideRates().ra != rate) &&
               wait.elapsed() < 20000)
            loadbench::runFor(100);
        return link.myTelescope() && link.PositionCalc_Timer()->isActive() && link.guideRates().ra == rate;
    }

private:
    RecorderWindow() = default;

    const common::SystemClock m_clock;
    const common::TimeStampFormatter m_formatter{common::monthNamesFromLocale()};
    std::unique_ptr<app::EventLog> m_log;
    std::unique_ptr<app::Form1> m_form; // last: closed before the log it writes to
};

} // namespace benchwindow
