#pragma once
#include "plot/PlotGeometry.h"

#include <QWidget>

namespace kalvex::plot {
struct PlotState;
}

namespace kalvex::ui {

// Graf0: shows the plot's bitmap and passes the mouse on in pixel coordinates of the plot.
// Every mouse button acts alike. While a button is held the widget keeps the mouse, so moves
// and the release outside it still arrive here, with coordinates outside the plot.
class PlotView : public QWidget {
    Q_OBJECT
public:
    // The size of the plot at the window's design size.
    static constexpr int kDesignWidth = plot::kDesignWidth;
    static constexpr int kDesignHeight = plot::kDesignHeight;

    explicit PlotView(const plot::PlotState& plot, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {kDesignWidth, kDesignHeight}; }

signals:
    void pressed(int x, int y);
    void moved(int x, int y);
    void released(int x, int y);
    void doubleClicked(int x, int y);
    void resized(int width, int height);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const plot::PlotState& plot_;
};

}  // namespace kalvex::ui
