// Chart1: building, redrawing and the context menu; printing and images are in ChartOutput.cpp.
#include "chart/ChartImpl.h"
#include "common/ProgramInfo.h"
#include "widgets/RefreshInterval.h"
#include "widgets/Utf8Text.h"

#include <qcustomplot.h>

#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

#include <algorithm>

namespace chart {

Chart::Impl::Impl(Chart& chart)
    : owner(chart)
    , plot(new QCustomPlot(&chart))
    , mapping(*plot) {
    drawTimer.setSingleShot(true);
    drawTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&drawTimer, &QTimer::timeout, &owner, [this] { drawNow(); });

    plot->setObjectName(QStringLiteral("Chart1Plot"));
    plot->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(plot, &QWidget::customContextMenuRequested, &owner,
                     [this](const QPoint& position) { showContextMenu(position); });
}

void Chart::Impl::drawNow() {
    drawTimer.stop();
    const ChartSettings& settings = content.settings();
    const QSize size(std::max(1, settings.width()), std::max(1, settings.height()));
    if (owner.minimumSize() != size || owner.maximumSize() != size)
        owner.setFixedSize(size);
    plot->setGeometry(QRect(QPoint(0, 0), size));
    mapping.apply(content, Look::Screen);
    // Painted with the window's other changes in one flush, not at once on its own.
    plot->replot(QCustomPlot::rpQueuedRefresh);
    ++drawCount;
    sinceDraw.restart();
}

void Chart::Impl::scheduleDraw() {
    if (drawTimer.isActive())
        return;
    const qint64 interval = widgets::refreshIntervalMs(owner.screen(), redrawIntervalMs);
    const qint64 wait = sinceDraw.isValid() ? std::max<qint64>(0, interval - sinceDraw.elapsed()) : 0;
    drawTimer.start(static_cast<int>(wait));
}

void Chart::Impl::showContextMenu(const QPoint& position) {
    auto* menu = new QMenu(&owner);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("Save Image…"), &owner, [this] {
        QString filter;
        QString path = QFileDialog::getSaveFileName(
            &owner, QStringLiteral("Save Image"), QStringLiteral("QEL_TE_Chart.png"),
            QStringLiteral("PNG image (*.png);;PDF document (*.pdf)"), &filter);
        if (path.isEmpty())
            return;
        if (QFileInfo(path).suffix().isEmpty())
            path += filter.contains(QStringLiteral("pdf")) ? QStringLiteral(".pdf") : QStringLiteral(".png");
        const OutputResult result = owner.saveImage(path);
        if (!result.ok)
            QMessageBox::warning(&owner, widgets::fromUtf8(common::programTitle), result.message);
    });
    menu->popup(plot->mapToGlobal(position));
}

Chart::Chart(QWidget* parent)
    : QWidget(parent)
    , d(std::make_unique<Impl>(*this)) {}

Chart::~Chart() = default;

void Chart::reset() {
    d->content.reset();
}

ChartSettings& Chart::settings() {
    return d->content.settings();
}

Region& Chart::addRegion() {
    return d->content.addRegion();
}

Region& Chart::region(int n) {
    return d->content.region(n);
}

int Chart::regionCount() const {
    return d->content.regionCount();
}

TextBox& Chart::addTextBox() {
    return d->content.addTextBox();
}

TextBox& Chart::textBox(int n) {
    return d->content.textBox(n);
}

int Chart::textBoxCount() const {
    return d->content.textBoxCount();
}

void Chart::setRedrawInterval(int ms) {
    d->redrawIntervalMs = ms;
}

int Chart::draw(bool full) {
    if (full)
        d->drawNow();
    else
        d->scheduleDraw();
    return 0;
}

void Chart::flush() {
    if (d->drawTimer.isActive())
        d->drawNow();
}

bool Chart::drawPending() const {
    return d->drawTimer.isActive();
}

int Chart::drawCount() const {
    return d->drawCount;
}

void Chart::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    d->plot->setGeometry(rect());
}

} // namespace chart
