// The position poll: PositionCalc_Timer ticks once a second while a telescope is connected; each tick reads
// Declination then RightAscension and hands new texts on. A tick that comes while the last poll's reads are
// still out is skipped, never queued.
#pragma once

#include "telescope/Driver.h"
#include "telescope/PositionReadout.h"

#include <QObject>
#include <QString>

class QTimer;

namespace telescope {

class PositionPoll : public QObject {
    Q_OBJECT
public:
    explicit PositionPoll(QObject* parent = nullptr);

    // The timer itself (object name "PositionCalc_Timer", 1000 ms), for the window and tests to look at.
    QTimer* PositionCalc_Timer() const { return m_timer; }

    // Starts polling driver, which must stay alive until stop() or the next start().
    void start(Driver& driver);
    void stop();
    // One tick: a poll, unless one is in flight.
    void tick();

    bool inFlight() const { return m_inFlight; }
    int skippedTicks() const { return m_skipped; }

signals:
    // New texts for the live and record lines: a position, or "None" once the mount is lost.
    void positionTexts(const QString& raText, const QString& decText);
    // The mount stopped answering (three failed polls in a row) or its server is gone: why, in words.
    void mountLost(const QString& reason);

private:
    void answered(const Result<double>& dec, const Result<double>& ra);

    QTimer* m_timer;
    Driver* m_driver = nullptr;
    PositionReadout m_readout;
    bool m_inFlight = false;
    unsigned m_generation = 0;
    int m_skipped = 0;
};

} // namespace telescope
