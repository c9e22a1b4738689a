#include "widgets/OneRowList.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

namespace widgets {
namespace {
constexpr int kArrowsWidth = 14;
} // namespace

OneRowList::OneRowList(const QStringList& items, const QList<double>& numbers, QWidget* parent)
    : QWidget(parent)
    , m_items(items)
    , m_numbers(numbers) {
    m_numbers.resize(m_items.size(), 0.0);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QString OneRowList::selectedText() const {
    return m_index >= 0 ? m_items.at(m_index) : QString();
}

double OneRowList::selectedNumber() const {
    return m_index >= 0 ? m_numbers.at(m_index) : 0.0;
}

bool OneRowList::setSelectedIndex(int index) {
    if (index < -1 || index >= count())
        return false;
    if (index != m_index) {
        m_index = index;
        update();
        emit changed(m_index);
    }
    return true;
}

void OneRowList::step(int delta) {
    if (!isEnabled() || count() == 0)
        return;
    // From "no selection" the first step down selects the first item, the first step up the last.
    int next = m_index < 0 ? (delta > 0 ? 0 : count() - 1) : m_index + delta;
    next = std::clamp(next, 0, count() - 1);
    setSelectedIndex(next);
}

QRect OneRowList::arrowsRect() const {
    return QRect(width() - kArrowsWidth, 0, kArrowsWidth, height());
}

void OneRowList::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    const bool on = isEnabled();
    p.fillRect(rect(), pal.color(QPalette::Base));

    // Text area with the selected item; a dotted focus rectangle like a list box's.
    const QRect textRect = rect().adjusted(3, 0, -kArrowsWidth - 2, 0);
    p.setPen(on ? pal.color(QPalette::Text) : pal.color(QPalette::Disabled, QPalette::Text));
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, selectedText());
    if (hasFocus()) {
        QPen pen(pal.color(QPalette::Text), 1, Qt::DotLine);
        p.setPen(pen);
        p.drawRect(rect().adjusted(1, 1, -kArrowsWidth - 2, -2));
    }

    // The scroll arrows: two stacked buttons.
    const QRect arrows = arrowsRect();
    const QColor face = on ? QColor(192, 192, 192) : QColor(128, 128, 128);
    const QColor glyph = on ? QColor(0, 0, 0) : QColor(96, 96, 96);
    const int half = arrows.height() / 2;
    const QRect up(arrows.left(), 0, arrows.width(), half);
    const QRect down(arrows.left(), half, arrows.width(), arrows.height() - half);
    for (const QRect& r : {up, down}) {
        p.fillRect(r, face);
        p.setPen(QColor(255, 255, 255));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(QColor(64, 64, 64));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(glyph);
    auto triangle = [&](const QRect& r, bool pointsUp) {
        const QPointF c = QRectF(r).center();
        const qreal w = 3.0, h = 2.0;
        QPainterPath path;
        if (pointsUp) {
            path.moveTo(c.x() - w, c.y() + h);
            path.lineTo(c.x() + w, c.y() + h);
            path.lineTo(c.x(), c.y() - h);
        } else {
            path.moveTo(c.x() - w, c.y() - h);
            path.lineTo(c.x() + w, c.y() - h);
            path.lineTo(c.x(), c.y() + h);
        }
        path.closeSubpath();
        p.drawPath(path);
    };
    triangle(up, true);
    triangle(down, false);
}

void OneRowList::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    if (arrowsRect().contains(pos))
        step(pos.y() < height() / 2 ? -1 : +1);
}

void OneRowList::wheelEvent(QWheelEvent* event) {
    const int dy = event->angleDelta().y();
    if (dy == 0 || !isEnabled())
        return event->ignore();
    step(dy > 0 ? -1 : +1);
    event->accept();
}

void OneRowList::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        step(-1);
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        step(+1);
        break;
    case Qt::Key_Home:
        if (isEnabled() && count() > 0)
            setSelectedIndex(0);
        break;
    case Qt::Key_End:
        if (isEnabled() && count() > 0)
            setSelectedIndex(count() - 1);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace widgets
