// What became of printing or saving the chart: done, or why not, in words for the operator.
#pragma once

#include <QString>

namespace chart {

struct OutputResult {
    bool ok = true;
    QString message; // empty when ok

    static OutputResult done() { return {}; }
    static OutputResult failed(const QString& why) { return {false, why}; }
};

} // namespace chart
