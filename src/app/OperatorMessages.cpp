#include "app/OperatorMessages.h"

#include "common/ProgramInfo.h"
#include "widgets/Utf8Text.h"

#include <QMessageBox>
#include <QTime>

namespace app {

OperatorMessages::OperatorMessages(QWidget* window)
    : QObject(window)
    , m_window(window) {}

void OperatorMessages::warn(const QString& topic, const QString& text) {
    show(topic, text, true);
}

void OperatorMessages::inform(const QString& topic, const QString& text) {
    show(topic, text, false);
}

void OperatorMessages::repeated(const QString& topic) {
    const auto it = m_topics.find(topic);
    if (it != m_topics.end() && it->second.box)
        countRepeat(it->second);
}

void OperatorMessages::detail(const QString& topic, const QString& line) {
    const auto it = m_topics.find(topic);
    if (it != m_topics.end() && it->second.box)
        it->second.box->setInformativeText(line);
}

QString OperatorMessages::shownDetail(const QString& topic) const {
    const auto it = m_topics.find(topic);
    return it != m_topics.end() && it->second.box ? it->second.box->informativeText() : QString();
}

QString OperatorMessages::shown(const QString& topic) const {
    const auto it = m_topics.find(topic);
    return it != m_topics.end() && it->second.box ? it->second.box->text() : QString();
}

int OperatorMessages::repeats(const QString& topic) const {
    const auto it = m_topics.find(topic);
    return it != m_topics.end() && it->second.box ? it->second.repeats : 0;
}

void OperatorMessages::countRepeat(Topic& t) {
    ++t.repeats;
    t.box->setInformativeText(QStringLiteral("This has happened %1 more times since, the latest at %2.")
                                  .arg(t.repeats)
                                  .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))));
}

void OperatorMessages::show(const QString& topic, const QString& text, bool warning) {
    Topic& t = m_topics[topic];
    if (t.box && t.box->text() == text) {
        countRepeat(t);
        return;
    }
    if (!t.box) {
        t.box =
            new QMessageBox(warning ? QMessageBox::Warning : QMessageBox::Information,
                            widgets::fromUtf8(common::programTitle), QString(), QMessageBox::Ok, m_window);
        t.box->setObjectName(QStringLiteral("message: ") + topic);
        t.box->setAttribute(Qt::WA_DeleteOnClose);
        t.box->setWindowModality(Qt::NonModal);
    }
    t.repeats = 0;
    // The box of a topic may change from a warning to good news (the link to the unit is back).
    t.box->setIcon(warning ? QMessageBox::Warning : QMessageBox::Information);
    t.box->setText(text);
    t.box->setInformativeText(QString());
    t.box->show();
    t.box->raise();
}

} // namespace app
