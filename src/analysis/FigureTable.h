// The analysis window's figures table: label and value per row, every value whole (long ones wrap within
// their column). Updated in place, so that a look at a followed file every 10 s costs well under a
// millisecond: only changed rows are touched, measured and repainted.
#pragma once

#include "analysis/Figures.h"

#include <QTableWidget>

#include <vector>

namespace analysis {

class FigureTable : public QTableWidget {
    Q_OBJECT

public:
    explicit FigureTable(QWidget* parent = nullptr);

    void setFigures(const std::vector<Figure>& figures);
};

} // namespace analysis
