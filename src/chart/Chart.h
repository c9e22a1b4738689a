// Stand-in for the chart control: an empty widget with the chart's object name.
#pragma once
#include <QWidget>
namespace chart {
class Chart : public QWidget {
public:
    using QWidget::QWidget;
};
} // namespace chart
