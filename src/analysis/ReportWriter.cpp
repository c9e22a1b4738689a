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

#include <functional>

namespace analysis {
namespace {

constexpr int kPageWidth = 794; // A4 at 96 dpi
constexpr int kPageHeight = 1123;
constexpr int kMargin = 40;

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// Draws figure lines from `from`, as many as fit above `bottom`, long values wrapped; returns the next y.
int drawLines(QPainter& painter, const std::vector<Figure>& lines, std::size_t& from, int y, int bottom) {
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    painter.setPen(Qt::black);
    constexpr int kLabelWidth = 200;
    const int valueWidth = kPageWidth - 2 * kMargin - kLabelWidth;
    for (; from < lines.size(); ++from) {
        const QString value = text(lines[from].value);
        const QString label = text(lines[from].label);
        const auto heightOf = [&](const QString& t, int w) {
            return painter.fontMetrics().boundingRect(QRect(0, 0, w, 10000), Qt::TextWordWrap, t).height();
        };
        const int height = std::max(heightOf(value, valueWidth), heightOf(label, kLabelWidth - 6)) + 1;
        if (y + height > bottom)
            break;
        painter.drawText(QRect(kMargin, y, kLabelWidth - 6, height),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, label);
        painter.drawText(QRect(kMargin + kLabelWidth, y, valueWidth, height),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, value);
        y += height;
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

bool startsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

bool isSummary(const Figure& f) {
    return !startsWith(f.label, "Cycle ") && !startsWith(f.label, "Run ") &&
           !startsWith(f.label, "Component") && !startsWith(f.label, "Bad line ");
}

// The components that stand clear of the noise as a table, the test above it; returns the next y.
int drawComponents(QPainter& painter, const Analysis& a, const std::string& test, int y) {
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 8, QFont::Bold));
    painter.setPen(Qt::black);
    const int width = kPageWidth - 2 * kMargin;
    const QString caption = QStringLiteral("Periodic components: ") + text(test);
    const QRect captionRect =
        painter.fontMetrics().boundingRect(QRect(kMargin, y, width, 10000), Qt::TextWordWrap, caption);
    painter.drawText(captionRect, Qt::TextWordWrap, caption);
    y = captionRect.bottom() + 4;
    struct Column {
        const char* title;
        int width;
    };
    const Column columns[] = {
        {"", 22},         {"period (s)", 120}, {"amplitude (arcsec)", 130}, {"phase (deg)", 88},
        {"variance", 70}, {"S/N", 40},         {"what it is", width - 470}};
    const int row = painter.fontMetrics().height() + 3;
    int x = kMargin;
    for (const Column& c : columns) {
        painter.drawText(QRect(x, y, c.width, row), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromUtf8(c.title));
        x += c.width;
    }
    y += row;
    painter.drawLine(kMargin, y, kMargin + width, y);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    for (std::size_t i = 0; i < a.components.size(); ++i) {
        const ComponentFigure& c = a.components[i];
        const std::string what = c.wormHarmonic > 0 ? "worm \u00d7 " + std::to_string(c.wormHarmonic)
                                 : c.wormRatio > 0.0
                                     ? "not a worm harmonic (worm period / " + fixed(c.wormRatio, 3) + ")"
                                     : "not a worm harmonic";
        const std::string cells[] = {std::to_string(i + 1),
                                     c.periodError > 0.0 ? withError(c.period, c.periodError, 2)
                                                         : fixed(c.period, 2),
                                     withError(c.amplitude, c.amplitudeError, 2),
                                     fixed(c.phase, 0),
                                     fixed(100.0 * c.varianceShare, 1) + " %",
                                     fixed(c.signalToNoise, 0),
                                     what};
        x = kMargin;
        for (std::size_t k = 0; k < std::size(columns); ++k) {
            painter.drawText(QRect(x, y, columns[k].width, row), Qt::AlignLeft | Qt::AlignVCenter,
                             text(cells[k]));
            x += columns[k].width;
        }
        y += row;
    }
    if (a.components.empty()) {
        painter.drawText(QRect(kMargin, y, width, row), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("none stands clear of the noise"));
        y += row;
    }
    return y + 6;
}

// One file's first page: heading, the summary figures, the components, the three plots (on a page of their
// own when the figures leave too little room and `newPage` can start one). Returns the figures left over.
std::vector<Figure> drawAnalysisPage(QPainter& painter, const Analysis& a,
                                     const std::function<void()>& newPage) {
    const std::vector<Figure> all = figures(a, 200);
    std::vector<Figure> summary, rest;
    std::string test;
    for (const Figure& f : all)
        if (f.label == "Components test")
            test = f.value;
        else
            (isSummary(f) ? summary : rest).push_back(f);
    painter.fillRect(QRect(0, 0, kPageWidth, kPageHeight), Qt::white);
    int y = drawHeading(
        painter, QStringLiteral("Periodic error: %1").arg(QFileInfo(text(a.fileName)).fileName()), kMargin);
    std::size_t from = 0;
    y = drawLines(painter, summary, from, y, 560) + 6;
    rest.insert(rest.begin(), summary.begin() + static_cast<std::ptrdiff_t>(from), summary.end());
    y = drawComponents(painter, a, test, y);
    constexpr int kLeastPlotHeight = 180;
    if (newPage && (kPageHeight - kMargin - y) / 3 < kLeastPlotHeight) {
        newPage();
        painter.fillRect(QRect(0, 0, kPageWidth, kPageHeight), Qt::white);
        y = kMargin;
    }
    const int plotHeight = std::min((kPageHeight - kMargin - y) / 3, 320);
    const int plotWidth = kPageWidth - 2 * kMargin;
    chart::SeriesPlot plot;
    plot.resize(plotWidth, plotHeight);
    const PlotColours colours = plotColours(ColourScheme::Day);
    const auto draw = [&](void (*fill)(chart::SeriesPlot&, const Analysis&, const PlotColours&)) {
        fill(plot, a, colours);
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
        drawAnalysisPage(painter, *analyses.front(), {}); // one page: the plots may come out small
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
        const std::vector<Figure> rest = drawAnalysisPage(painter, *a, newPage);
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
