#pragma once
#include <QColor>
#include <QPoint>
#include <QWidget>

#include <optional>

namespace kalvex::ui {

// A transparent layer over the whole client area of the main window on which the dashed
// zoom rectangle is drawn, so the plot's own bitmap never contains it. Mouse events pass
// through to the controls below.
class RubberBandOverlay : public QWidget {
    Q_OBJECT
public:
    struct Band {
        QPoint a;  // corner of the press, window pixels
        QPoint b;  // corner under the mouse, window pixels
        bool belowThreshold = false;
    };

    explicit RubberBandOverlay(QWidget* window);

    // Replaces the rectangle (repainting the window at once); nullopt removes it.
    void showBand(const std::optional<Band>& band);
    const std::optional<Band>& band() const { return band_; }
    QColor penColour() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<Band> band_;
};

}  // namespace kalvex::ui
