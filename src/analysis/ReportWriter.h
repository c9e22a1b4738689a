// The analysis report as PDF (a page per file, with the comparison first when there are two) or as PNG (one
// file's page): key figures, the drift-removed series with its fit, the spectrum and the folded curve.
// Used by qel-te-analyze and the analysis window; needs a QApplication.
#pragma once

#include "analysis/Analysis.h"

#include <QString>

#include <vector>

namespace analysis {

// Writes `analyses` to `path`: PDF when it ends in ".pdf", otherwise PNG (first analysis only).
// Returns an empty string, or what failed in the operator's words, naming the file.
QString writeReport(const QString& path, const std::vector<const Analysis*>& analyses);

} // namespace analysis
