// Messages for the operator that must not stop the program: shown in a window-modal-free box so that the
// serial line, the clock and the chart keep running while the operator reads it. A message repeated while
// its box is open replaces the text instead of stacking boxes.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <map>

class QMessageBox;
class QWidget;

namespace app {

class OperatorMessages : public QObject {
    Q_OBJECT
public:
    explicit OperatorMessages(QWidget* window);

    // Shows text under a topic ("serial", "record file", ...): one box per topic at a time.
    void warn(const QString& topic, const QString& text);
    void inform(const QString& topic, const QString& text);

    // The text currently shown for a topic; empty when no box is open for it.
    QString shown(const QString& topic) const;

private:
    void show(const QString& topic, const QString& text, bool warning);

    QWidget* m_window;
    std::map<QString, QPointer<QMessageBox>> m_boxes;
};

} // namespace app
