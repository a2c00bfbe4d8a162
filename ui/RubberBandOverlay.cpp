#include "ui/RubberBandOverlay.h"

#include <QEvent>
#include <QPainter>
#include <QPen>

namespace kalvex::ui {

RubberBandOverlay::RubberBandOverlay(QWidget* window) : QWidget(window)
{
    setObjectName(QStringLiteral("RubberBand"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(window->rect());
    window->installEventFilter(this);
    raise();
}

void RubberBandOverlay::showBand(const std::optional<Band>& band)
{
    band_ = band;
    raise();
    update();  // the layer is transparent: the window below is repainted with it
}

QColor RubberBandOverlay::penColour() const
{
    // red while the drag is too small to zoom on either axis
    return band_ && band_->belowThreshold ? QColor(255, 0, 0) : QColor(0, 0, 0);
}

void RubberBandOverlay::paintEvent(QPaintEvent*)
{
    if (!band_)
        return;
    QPainter painter(this);
    QPen pen(penColour());
    pen.setWidth(1);
    pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    const QPoint a = band_->a;
    const QPoint b = band_->b;
    const QPoint corners[] = {a, {b.x(), a.y()}, b, {a.x(), b.y()}, a};
    painter.drawPolyline(corners, 5);
}

bool RubberBandOverlay::eventFilter(QObject* watched, QEvent* event)
{
    // keep covering the whole window when it is resized
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

}  // namespace kalvex::ui
