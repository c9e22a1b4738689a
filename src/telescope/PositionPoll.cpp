// The once-a-second position poll.
#include "telescope/PositionPoll.h"

#include <QTimer>

namespace telescope {

PositionPoll::PositionPoll(QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this)) {
    m_timer->setObjectName(QStringLiteral("PositionCalc_Timer"));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &PositionPoll::tick);
}

void PositionPoll::start(Driver& driver) {
    stop();
    m_driver = &driver;
    m_timer->start();
}

void PositionPoll::stop() {
    m_timer->stop();
    m_driver = nullptr;
    m_readout.reset();
    // Answers of the stopped poll are dropped: a released driver never calls back, and one still alive
    // answers into an older generation.
    m_inFlight = false;
    ++m_generation;
}

void PositionPoll::tick() {
    if (!m_driver)
        return;
    if (m_inFlight) {
        ++m_skipped;
        return;
    }
    m_inFlight = true;
    const unsigned generation = m_generation;
    m_driver->declination([this, generation](const Result<double>& dec) {
        if (generation != m_generation || !m_driver)
            return;
        m_driver->rightAscension([this, generation, dec](const Result<double>& ra) {
            if (generation == m_generation)
                answered(dec, ra);
        });
    });
}

void PositionPoll::answered(const Result<double>& dec, const Result<double>& ra) {
    m_inFlight = false;
    const auto update = m_readout.pollAnswered(dec, ra);
    if (update.texts)
        emit positionTexts(QString::fromStdString(update.texts->raText),
                           QString::fromStdString(update.texts->decText));
    if (!update.lost.empty())
        emit mountLost(QString::fromStdString(update.lost));
}

} // namespace telescope
