// A list box one row high: it shows only its selected item and is stepped with its scroll arrows (the small
// up/down buttons on the right), the Up/Down keys or the mouse wheel. "No selection" is a real state (index
// -1, empty text). The selected item's text is what the operator sees; each item may also carry a number
// ("2 Hz" carries 2), given when the list is made, which the program reads instead of parsing the text.
#pragma once

#include <QStringList>
#include <QWidget>

namespace widgets {

class OneRowList : public QWidget {
    Q_OBJECT
public:
    // numbers: one per item, or none (every item then carries 0).
    explicit OneRowList(const QStringList& items, const QList<double>& numbers = {},
                        QWidget* parent = nullptr);

    int count() const { return static_cast<int>(m_items.size()); }
    const QStringList& items() const { return m_items; }

    // -1 when nothing is selected.
    int selectedIndex() const { return m_index; }
    // The selected item's text, or an empty text when nothing is selected.
    QString selectedText() const;
    // The selected item's number; 0 when nothing is selected, as an empty text reads.
    double selectedNumber() const;

    // Selects index (-1 clears the selection). Indices outside the items are refused (returns false).
    // Emits changed() only when the selection really changes; works while the list is disabled, as a
    // program setting a value must.
    bool setSelectedIndex(int index);

signals:
    // The selection changed, by the operator or by the program.
    void changed(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void step(int delta);
    QRect arrowsRect() const;

    QStringList m_items;
    QList<double> m_numbers; // one per item
    int m_index = -1;
};

} // namespace widgets
