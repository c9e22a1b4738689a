// Chart1's outputs: printing (default printer, any QPrinter, any paint device) and images (PNG, PDF).
#include "chart/ChartImpl.h"
#include "common/ProgramInfo.h"
#include "widgets/Utf8Text.h"

#include <qcustomplot.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>

namespace chart {

namespace {

QString shownName(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString printerName(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()
               ? shownName(printer.outputFileName())
               : printer.printerName();
}

} // namespace

OutputResult Chart::print() {
    return print(QPrinterInfo::defaultPrinter());
}

OutputResult Chart::print(const QPrinterInfo& info) {
    if (info.isNull())
        return OutputResult::failed(QStringLiteral(
            "There is no default printer, so the chart was not printed. Set up a printer and make "
            "it the default in the system's printer settings, then press \"Print Chart\" again."));
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(widgets::fromUtf8(common::programTitle) + QStringLiteral(" chart"));
    return printTo(printer);
}

OutputResult Chart::printTo(QPrinter& printer) {
    printer.setPageOrientation(QPageLayout::Landscape);
    // The painter's origin is the page's printable area.
    const QRect printable = printer.pageLayout().paintRectPixels(printer.resolution());
    if (!paintForPrint(printer, QRectF(QPointF(0, 0), QSizeF(printable.size()))))
        return OutputResult::failed(
            QStringLiteral(
                "The chart could not be printed on \"%1\": the printer could not be started. Check "
                "that it is switched on and connected (or that the file can be written), then try again.")
                .arg(printerName(printer)));
    if (printer.printerState() == QPrinter::Error)
        return OutputResult::failed(
            QStringLiteral("The printer \"%1\" reported an error while printing the chart. "
                           "Check the printer and its queue, then try again.")
                .arg(printerName(printer)));
    return OutputResult::done();
}

bool Chart::paintForPrint(QPaintDevice& device, const QRectF& target) {
    flush();
    if (d->drawCount == 0)
        d->drawNow(); // lays the plot out once; printing reuses the on-screen layout

    QCPPainter painter;
    if (!painter.begin(&device))
        return false;
    const QRect viewport = d->plot->viewport();
    const double scale = std::min(target.width() / viewport.width(), target.height() / viewport.height());
    painter.translate(target.center().x() - viewport.width() * scale / 2.0,
                      target.center().y() - viewport.height() * scale / 2.0);
    painter.scale(scale, scale);
    // Vector output: no snapping to device pixels, no cached label pixmaps, no hairline pens.
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNonCosmetic);

    d->mapping.apply(d->content, Look::Paper);
    d->plot->toPainter(&painter, viewport.width(), viewport.height());
    d->mapping.apply(d->content, Look::Screen);
    return painter.end();
}

OutputResult Chart::saveImage(const QString& path) {
    QString file = path;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".png");
    const bool pdf = QFileInfo(file).suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) == 0;

    // The plotting library only says whether saving worked; opening the file first gives the system's reason.
    {
        QFile probe(file);
        if (!probe.open(QIODevice::WriteOnly))
            return OutputResult::failed(QStringLiteral("The chart could not be saved to \"%1\": %2.")
                                            .arg(shownName(file), probe.errorString()));
    }
    flush();
    if (d->drawCount == 0)
        d->drawNow();
    const QRect viewport = d->plot->viewport();
    const bool saved =
        pdf ? d->plot->savePdf(file, viewport.width(), viewport.height(), QCP::epNoCosmetic,
                               widgets::fromUtf8(common::programTitle), QStringLiteral("QEL TE chart"))
            : d->plot->savePng(file, viewport.width(), viewport.height());
    if (!saved) {
        QFile::remove(file);
        return OutputResult::failed(
            QStringLiteral(
                "The chart could not be saved to \"%1\": the %2 writer failed (is the disk full?).")
                .arg(shownName(file), pdf ? QStringLiteral("PDF") : QStringLiteral("PNG")));
    }
    return OutputResult::done();
}

QImage Chart::toImage() {
    flush();
    if (d->drawCount == 0)
        d->drawNow();
    const QRect viewport = d->plot->viewport();
    return d->plot->toPixmap(viewport.width(), viewport.height()).toImage();
}

} // namespace chart
