// Messages for the operator that must not stop the program: shown in a box that is not modal, so that the
// serial line, the clock and the chart keep running while the operator reads it. One box per topic; a box is
// raised only when its text changes: the same text again is counted in the box, not raised (a refusal that
// repeats at every guiding tick would otherwise take the front five times a second).
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

    // Shows text under a topic ("serial", "record file", ...). A box already showing the same text only
    // counts the repeat; a new text, or a box the operator has closed, is shown and raised.
    void warn(const QString& topic, const QString& text);
    void inform(const QString& topic, const QString& text);
    // The condition behind the topic's text has come again, and the caller chose not to show it again (the
    // operator has read it): counted in the box if it is still open, never shown or raised.
    void repeated(const QString& topic);

    // A line under the topic's text that follows a changing state (a link being restored):
    // replaces the previous line in the box if it is still open, never shows or raises it.
    void detail(const QString& topic, const QString& line);

    // The text currently shown for a topic; empty when no box is open for it.
    QString shown(const QString& topic) const;
    // The line under it (detail, or the count of repeats); empty when no box is open for the topic.
    QString shownDetail(const QString& topic) const;
    // How often the text shown for a topic has come again since it was shown.
    int repeats(const QString& topic) const;

private:
    struct Topic {
        QPointer<QMessageBox> box;
        int repeats = 0;
    };
    void show(const QString& topic, const QString& text, bool warning);
    static void countRepeat(Topic& t);

    QWidget* m_window;
    std::map<QString, Topic> m_topics;
};

} // namespace app
