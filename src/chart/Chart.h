// Chart1, the recorder's chart control: a widget drawing regions (title, plotting area, value and time axes,
// line series) and free text boxes, printing them and saving them as images. The window holds one; DoTheChart
// (ChartLayout.h) builds its content, the live display feeds it. The plotting library stays behind this
// header.
#pragma once

#include "chart/ChartSettings.h"
#include "chart/OutputResult.h"
#include "chart/Region.h"
#include "chart/TextBox.h"

#include <QImage>
#include <QWidget>

#include <memory>

class QPaintDevice;
class QPrinter;
class QPrinterInfo;

namespace chart {

// Usage, in the calling order the control expects:
//   reset(); settings().set...(); addRegion(); region(1).addCaption(); region(1).caption().setText(...); ...
//   addTextBox(); textBox(1).setText(...); draw(true);
// then for live changes (series data, axis limits, text-box texts): set them, then draw(false).
//
// Elements are numbered from 1 in the order added; asking for one that does not exist gives a detached
// stand-in whose settings are never drawn (Element.h). Only the first region is drawn. Being hidden or shown
// is the widget's own visibility (setVisible / isVisible). All calls belong on the user-interface thread.
class Chart : public QWidget {
    Q_OBJECT

public:
    explicit Chart(QWidget* parent = nullptr);
    ~Chart() override;

    // Removes every region and text box (and so every axis limit and trace); the chart settings stay.
    void reset();
    ChartSettings& settings();

    Region& addRegion();
    Region& region(int n);
    int regionCount() const;

    TextBox& addTextBox();
    TextBox& textBox(int n);
    int textBoxCount() const;

    // Redraws. full = true draws at once (after building); the window shows it with its next paint, together
    // with its other changes. full = false is cheap: it asks for a redraw that runs at most once per redraw
    // interval (and never faster than the screen refreshes, about 16 ms) however often it is called,
    // drawing whatever was set last. Always returns 0.
    int draw(bool full);
    // The least time between two redraws that draw(false) asks for, ms; 0 (the default): one screen refresh.
    void setRedrawInterval(int ms);
    // A redraw asked for by draw(false) waits for the next screen refresh.
    bool drawPending() const;
    // How often the chart has actually been redrawn since it was made (for diagnostics and tests).
    int drawCount() const;

    // Sends the chart, with everything set so far, to the system's default printer: landscape, scaled to fit
    // the page, red on white paper (backgrounds white, so the page costs no black toner). Without a default
    // printer, or when the printer cannot be started, nothing is printed and the result says why.
    OutputResult print();
    // The same on a given printer; a null QPrinterInfo means "there is no default printer".
    OutputResult print(const QPrinterInfo& printer);
    // The same on a prepared QPrinter (a real printer or a PDF file): sets landscape, paints one page.
    OutputResult printTo(QPrinter& printer);
    // Paints the chart as printed (paper colours) on a device that has no painter yet, scaled to fit into
    // target (device pixels) and centred, text in proportion at any resolution. False when no painter could
    // be started on the device. Used by printTo; also for tests on images.
    bool paintForPrint(QPaintDevice& device, const QRectF& target);

    // Saves the chart as it looks on screen: a PDF for names ending ".pdf", otherwise PNG (".png" is added
    // when the name has no suffix). The result names the file and the system's reason on failure.
    OutputResult saveImage(const QString& path);
    // The chart as it looks on screen, at its own size in pixels.
    QImage toImage();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Runs a redraw asked for by draw(false) now instead of at the next screen refresh (before printing or
    // saving what is shown).
    void flush();
    class Impl;
    std::unique_ptr<Impl> d;
};

} // namespace chart
