// The "Print Chart" button's flow for the window: ask, print on Yes, tell the operator when printing failed.
#pragma once

#include "chart/OutputResult.h"

#include <QMessageBox>

#include <memory>

namespace chart {

class Chart;

// The question box, ready to run: "Send current chart to the default printer?", titled with the program's
// title, Yes and No, no icon, Yes the default; closing it counts as No.
std::unique_ptr<QMessageBox> makePrintQuestion(QWidget* parent);

// Runs the question modally; true only when the answer is Yes.
bool askToPrint(QWidget* parent);

// Shows a failed print or save in a warning box titled with the program's title; does nothing for a success.
void reportOutputProblem(QWidget* parent, const OutputResult& result);

// The whole click: ask, then on Yes print on the default printer and report a failure. No changes nothing.
void printChartOnRequest(Chart& chart, QWidget* parent);

} // namespace chart
