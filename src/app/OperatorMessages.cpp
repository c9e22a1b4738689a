#include "app/OperatorMessages.h"

#include "common/ProgramInfo.h"
#include "widgets/Utf8Text.h"

#include <QMessageBox>

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

QString OperatorMessages::shown(const QString& topic) const {
    const auto it = m_boxes.find(topic);
    return it != m_boxes.end() && it->second ? it->second->text() : QString();
}

void OperatorMessages::show(const QString& topic, const QString& text, bool warning) {
    QPointer<QMessageBox>& box = m_boxes[topic];
    if (!box) {
        box = new QMessageBox(warning ? QMessageBox::Warning : QMessageBox::Information,
                              widgets::fromUtf8(common::programTitle), QString(), QMessageBox::Ok, m_window);
        box->setObjectName(QStringLiteral("message: ") + topic);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
    }
    box->setText(text);
    box->show();
    box->raise();
}

} // namespace app
