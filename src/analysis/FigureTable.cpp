// Row heights follow the wrapped text: set per changed row and all again when the value column's width
// changes; Qt's automatic whole-table mode measured every row at each update (10 to 30 ms).
#include "analysis/FigureTable.h"

#include <QHeaderView>
#include <QTimer>

namespace analysis {

FigureTable::FigureTable(QWidget* parent)
    : QTableWidget(0, 2, parent) {
    setHorizontalHeaderLabels({QStringLiteral("Figure"), QStringLiteral("Value")});
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    verticalHeader()->setVisible(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(true);
    setTextElideMode(Qt::ElideNone);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    auto* rowHeights = new QTimer(this);
    rowHeights->setSingleShot(true);
    rowHeights->setInterval(0);
    connect(rowHeights, &QTimer::timeout, this, &QTableWidget::resizeRowsToContents);
    connect(horizontalHeader(), &QHeaderView::sectionResized, rowHeights, [rowHeights](int column) {
        if (column == 1)
            rowHeights->start();
    });
}

void FigureTable::setFigures(const std::vector<Figure>& figures) {
    // Updates stay on: each changed cell asks for its own repaint, where turning them off and on again
    // would repaint the whole table, its header and its scroll bar at every look.
    setRowCount(static_cast<int>(figures.size()));
    for (int i = 0; i < static_cast<int>(figures.size()); ++i) {
        const Figure& f = figures[static_cast<std::size_t>(i)];
        bool changed = false;
        for (int column = 0; column < 2; ++column) {
            const QString text = QString::fromStdString(column == 0 ? f.label : f.value);
            if (QTableWidgetItem* cell = item(i, column)) {
                if (cell->text() != text) {
                    cell->setText(text);
                    changed = true;
                }
            } else {
                setItem(i, column, new QTableWidgetItem(text));
                changed = true;
            }
        }
        if (changed)
            resizeRowToContents(i);
    }
}

} // namespace analysis
