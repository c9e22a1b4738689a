// Small QCustomPlot pieces the chart control needs and the library lacks: evenly divided axes with
// fixed-digit labels, and a title line with its own background. Private to the chart control (includes
// qcustomplot.h).
#pragma once

#include <qcustomplot.h>

namespace chart {

// Ticks at equal divisions of the axis range, both ends included, whatever the range: an axis with 10
// divisions over -1 .. +1 is marked every 0.2. Labels carry a fixed number of decimals and never read "-0.0".
class EvenTicker : public QCPAxisTicker {
public:
    void setDivisions(int divisions) { m_divisions = divisions < 1 ? 1 : divisions; }
    void setDecimalDigits(int digits) { m_digits = digits < 0 ? 0 : (digits > 10 ? 10 : digits); }
    void setUnit(const QString& unit) { m_unit = unit; }
    void setSubTicks(int count) { m_subTicks = count; }

    // One label as drawn; public for the tests of the label format.
    QString label(double tick) const;

protected:
    double getTickStep(const QCPRange& range) override;
    int getSubTickCount(double tickStep) override;
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar, int precision) override;
    QVector<double> createTickVector(double tickStep, const QCPRange& range) override;

private:
    int m_divisions = 10;
    int m_digits = 1;
    int m_subTicks = 0;
    QString m_unit;
};

// A title line that fills its cell with a background colour before drawing the text.
class CaptionElement : public QCPTextElement {
public:
    using QCPTextElement::QCPTextElement;
    void setBackground(const QBrush& brush) { m_background = brush; }

protected:
    void draw(QCPPainter* painter) override;

private:
    QBrush m_background = Qt::NoBrush;
};

} // namespace chart
