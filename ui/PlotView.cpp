#include "ui/PlotView.h"

#include "plot/PlotState.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

namespace kalvex::ui {
namespace {

QPoint pixelOf(const QMouseEvent* event)
{
    return event->position().toPoint();
}

}  // namespace

PlotView::PlotView(const plot::PlotState& plot, QWidget* parent) : QWidget(parent), plot_(plot)
{
    setObjectName(QStringLiteral("Graf0"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(kDesignWidth, kDesignHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PlotView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(0, 0, plot_.surface);
}

void PlotView::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = pixelOf(event);
    emit pressed(p.x(), p.y());
}

void PlotView::mouseMoveEvent(QMouseEvent* event)
{
    // Without a held button no move events arrive (no mouse tracking): the read-out does
    // not follow the mouse.
    const QPoint p = pixelOf(event);
    emit moved(p.x(), p.y());
}

void PlotView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = pixelOf(event);
    emit released(p.x(), p.y());
}

void PlotView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click comes after the rescale: it reads the value under the
    // mouse in the restored ranges and starts a drag there, so its release on the same point
    // zooms nothing. Read before the rescale, it would pair a value of the old ranges with
    // one of the new and zoom into the rectangle between them.
    const QPoint p = pixelOf(event);
    emit doubleClicked(p.x(), p.y());
    emit pressed(p.x(), p.y());
}

void PlotView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit resized(event->size().width(), event->size().height());
}

}  // namespace kalvex::ui
