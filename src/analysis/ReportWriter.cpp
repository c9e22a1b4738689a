// Report pages drawn with QPainter at 96 dots per inch (so one unit is one screen pixel on PNG and PDF
// alike); the plots come from chart::SeriesPlot as vector pictures.
#include "analysis/ReportWriter.h"

#include "analysis/AnalysisPlots.h"
#include "analysis/Figures.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

namespace analysis {
namespace {

constexpr int kPageWidth = 794; // A4 at 96 dpi
constexpr int kPageHeight = 1123;
constexpr int kMargin = 40;

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// Draws figure lines from `from`, as many as fit above `bottom`; returns the next y.
int drawLines(QPainter& painter, const std::vector<Figure>& lines, std::size_t& from, int y, int bottom) {
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    const int step = painter.fontMetrics().height() + 1;
    for (; from < lines.size() && y + step <= bottom; ++from, y += step) {
        painter.setPen(Qt::black);
        painter.drawText(QRect(kMargin, y, 180, step), Qt::AlignLeft | Qt::AlignVCenter,
                         text(lines[from].label));
        painter.drawText(QRect(kMargin + 180, y, kPageWidth - 2 * kMargin - 180, step),
                         Qt::AlignLeft | Qt::AlignVCenter, text(lines[from].value));
    }
    return y;
}

int drawHeading(QPainter& painter, const QString& heading, int y) {
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 12, QFont::Bold));
    painter.setPen(Qt::black);
    const int h = painter.fontMetrics().height() + 8;
    painter.drawText(QRect(kMargin, y, kPageWidth - 2 * kMargin, h), Qt::AlignLeft | Qt::AlignVCenter,
                     heading);
    return y + h;
}

bool isSummary(const Figure& f) {
    return f.label.rfind("Cycle ", 0) != 0 && f.label.rfind("Run ", 0) != 0 &&
           f.label.rfind("Spectral peak", 0) != 0 && f.label.rfind("Bad line ", 0) != 0;
}

// One file's first page: heading, the summary figures, the three plots. Returns the figures left over.
std::vector<Figure> drawAnalysisPage(QPainter& painter, const Analysis& a) {
    const std::vector<Figure> all = figures(a, 200);
    std::vector<Figure> summary, rest;
    for (const Figure& f : all)
        (isSummary(f) ? summary : rest).push_back(f);
    painter.fillRect(QRect(0, 0, kPageWidth, kPageHeight), Qt::white);
    int y = drawHeading(
        painter, QStringLiteral("Periodic error: %1").arg(QFileInfo(text(a.fileName)).fileName()), kMargin);
    std::size_t from = 0;
    y = drawLines(painter, summary, from, y, 330) + 8;
    const int plotHeight = (kPageHeight - kMargin - y) / 3;
    const int plotWidth = kPageWidth - 2 * kMargin;
    chart::SeriesPlot plot;
    plot.resize(plotWidth, plotHeight);
    const auto draw = [&](void (*fill)(chart::SeriesPlot&, const Analysis&)) {
        fill(plot, a);
        plot.render(painter, QRectF(kMargin, y, plotWidth, plotHeight - 6), plotWidth, plotHeight - 6);
        y += plotHeight;
    };
    draw(plotSeries);
    draw(plotSpectrum);
    draw(plotFolded);
    return rest;
}

QString cannotWrite(const QString& path, const QString& why) {
    return QStringLiteral("The report could not be written to \"%1\": %2. Choose another folder or name.")
        .arg(path, why);
}

} // namespace

QString writeReport(const QString& path, const std::vector<const Analysis*>& analyses) {
    if (analyses.empty())
        return cannotWrite(path, QStringLiteral("there is no analysis to report"));
    {
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly))
            return cannotWrite(path, probe.errorString());
    }
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        QImage image(kPageWidth, kPageHeight, QImage::Format_RGB32);
        image.setDotsPerMeterX(3780); // 96 dpi
        image.setDotsPerMeterY(3780);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        drawAnalysisPage(painter, *analyses.front());
        painter.end();
        return image.save(path, "PNG") ? QString()
                                       : cannotWrite(path, QStringLiteral("the image was not saved"));
    }

    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(96);
    pdf.setTitle(QStringLiteral("Periodic-error analysis"));
    QPainter painter;
    if (!painter.begin(&pdf))
        return cannotWrite(path, QStringLiteral("the PDF could not be started"));
    painter.setRenderHint(QPainter::Antialiasing);
    bool firstPage = true;
    const auto newPage = [&] {
        if (!firstPage)
            pdf.newPage();
        firstPage = false;
    };
    if (analyses.size() == 2) {
        newPage();
        int y = drawHeading(painter,
                            QStringLiteral("Before and after: %1 -> %2")
                                .arg(QFileInfo(text(analyses[0]->fileName)).fileName(),
                                     QFileInfo(text(analyses[1]->fileName)).fileName()),
                            kMargin);
        std::size_t from = 0;
        drawLines(painter, comparison(*analyses[0], *analyses[1]), from, y, kPageHeight - kMargin);
    }
    for (const Analysis* a : analyses) {
        newPage();
        const std::vector<Figure> rest = drawAnalysisPage(painter, *a);
        std::size_t from = 0;
        while (from < rest.size()) {
            newPage();
            const int y = drawHeading(
                painter, QStringLiteral("%1, continued").arg(QFileInfo(text(a->fileName)).fileName()),
                kMargin);
            drawLines(painter, rest, from, y, kPageHeight - kMargin);
        }
    }
    return painter.end() ? QString() : cannotWrite(path, QStringLiteral("the PDF could not be finished"));
}

} // namespace analysis
