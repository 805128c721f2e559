#pragma once
// Picture1, the viewer's drawing surface: a screen surface on a QImage that
// is also the backing image of the widget, so uncovering or moving the
// window repaints from the image without a display pass. The image follows
// the widget's size; a new size starts a cleared picture (with the pen, unit
// and colours carried over). Keys, presses, moves and the wheel are handed
// to the viewer in picture units.

#include "viewer/QImageSurface.h"

#include <QWidget>

#include <functional>
#include <memory>

namespace mutaplot {

class PictureBox final : public QWidget {
    Q_OBJECT
public:
    // twipsPerPixel: the screen's (15 at 96 dots per inch).
    PictureBox(double twipsPerPixel, QWidget* parent);
    ~PictureBox() override;

    // The drawing surface at the widget's current size.
    DrawingSurface& surface();
    const QImage& image();
    // Shows what was drawn since the last repaint.
    void ShowDrawing() { update(); }

    // Drawing, fill and background colours (0x00BBGGRR); kept across sizes.
    void SetColours(SurfaceColour draw, SurfaceColour fill, SurfaceColour back);
    SurfaceColour drawColour() const noexcept { return draw_; }
    SurfaceColour backColour() const noexcept { return back_; }

    // A widget position in picture units of the current unit, and back.
    QPointF ToPictureUnits(QPointF pixels) const;
    QPointF ToPixels(QPointF pictureUnits) const;

    // While the picture is dragged: the image is shown moved by `pixels`,
    // the uncovered part in the background colour (no pass runs meanwhile).
    void SetDragShift(QPoint pixels);
    double twipsPerPixel() const noexcept { return twipsPerPixel_; }

    // Input handlers, set by the viewer.
    std::function<void(int qtKey)> onKeyDown;
    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, QPointF picture)> onMouseDown;
    std::function<void(QPointF picture)> onMouseMove;
    std::function<void(Qt::MouseButton, QPointF picture)> onMouseUp;
    // +1 away from the user, −1 towards; where the pointer is.
    std::function<void(int steps, QPointF picture)> onWheel;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void Fit();

    double twipsPerPixel_;
    std::unique_ptr<QImageSurface> surface_;
    SurfaceColour draw_ = kBlack, fill_ = kBlack, back_ = kWhite;
    int wheelAngle_ = 0;
    QPoint dragShift_;
};

}  // namespace mutaplot
