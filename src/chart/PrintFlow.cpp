// The "Print Chart" flow: question box, print, failure report.
#include "chart/PrintFlow.h"

#include "chart/Chart.h"
#include "common/ProgramInfo.h"
#include "widgets/Utf8Text.h"

namespace chart {

namespace {
const QString title = widgets::fromUtf8(common::programTitle);
}

std::unique_ptr<QMessageBox> makePrintQuestion(QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, title,
                                             QStringLiteral("Send current chart to the default printer?"),
                                             QMessageBox::Yes | QMessageBox::No, parent);
    box->setDefaultButton(QMessageBox::Yes);
    box->setEscapeButton(QMessageBox::No);
    return box;
}

bool askToPrint(QWidget* parent) {
    const auto box = makePrintQuestion(parent);
    return box->exec() == QMessageBox::Yes;
}

void reportOutputProblem(QWidget* parent, const OutputResult& result) {
    if (!result.ok)
        QMessageBox::warning(parent, title, result.message);
}

void printChartOnRequest(Chart& chart, QWidget* parent) {
    if (askToPrint(parent))
        reportOutputProblem(parent, chart.print());
}

} // namespace chart
