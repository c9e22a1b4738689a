// The QEL unit for window tests that guide on a real mount: a pseudo-terminal linked as COM1 in the working
// directory that sends one reading every 100 ms while the event loop runs.
#pragma once

#include "support/PtyPair.h"

#include <QDir>
#include <QFile>
#include <QTimer>

#include <cstdint>
#include <vector>

class ReadingFeed {
public:
    // code: the reading sent (119 is +1.0").
    explicit ReadingFeed(std::uint8_t code = 119) {
        m_linked = m_pty.ok() && QFile::link(QString::fromStdString(m_pty.slavePath()),
                                             QDir::current().filePath(QStringLiteral("COM1")));
        QObject::connect(&m_timer, &QTimer::timeout, [this, code] { m_pty.write(std::vector{code}); });
        m_timer.start(100);
    }
    bool ok() const { return m_linked; }

private:
    testsupport::PtyPair m_pty;
    QTimer m_timer;
    bool m_linked = false;
};
