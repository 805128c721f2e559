#include "viewer/PictureBox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

namespace mutaplot {

namespace {

// One notch of a mouse wheel.
constexpr int kWheelNotch = 120;

}  // namespace

PictureBox::PictureBox(double twipsPerPixel, QWidget* parent)
    : QWidget(parent), twipsPerPixel_(twipsPerPixel) {
    setObjectName("Picture1");
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PictureBox::~PictureBox() = default;

void PictureBox::Fit() {
    const int w = std::max(1, width());
    const int h = std::max(1, height());
    if (surface_ && surface_->Image().width() == w && surface_->Image().height() == h) return;
    auto next = std::make_unique<QImageSurface>(w, h, kTwipsPerInch / twipsPerPixel_);
    if (surface_) {
        next->SetUnit(surface_->Unit());
        next->SetPenWidth(surface_->PenWidth());
        next->SetDrawMode(surface_->Mode());
    }
    next->SetDrawColour(draw_);
    next->SetFillColour(fill_);
    next->SetBackColour(back_);
    next->Clear();
    surface_ = std::move(next);
}

DrawingSurface& PictureBox::surface() {
    Fit();
    return *surface_;
}

const QImage& PictureBox::image() {
    Fit();
    return surface_->Image();
}

void PictureBox::SetColours(SurfaceColour draw, SurfaceColour fill, SurfaceColour back) {
    draw_ = draw;
    fill_ = fill;
    back_ = back;
    Fit();
    surface_->SetDrawColour(draw);
    surface_->SetFillColour(fill);
    surface_->SetBackColour(back);
}

QPointF PictureBox::ToPictureUnits(QPointF pixels) const {
    const bool inch = surface_ && surface_->Unit() == SurfaceUnit::Inch;
    const double perUnit = (inch ? kTwipsPerInch : kTwipsPerMm) / twipsPerPixel_;
    return pixels / perUnit;
}

QPointF PictureBox::ToPixels(QPointF pictureUnits) const {
    const bool inch = surface_ && surface_->Unit() == SurfaceUnit::Inch;
    const double perUnit = (inch ? kTwipsPerInch : kTwipsPerMm) / twipsPerPixel_;
    return pictureUnits * perUnit;
}

void PictureBox::SetDragShift(QPoint pixels) {
    if (pixels == dragShift_) return;
    dragShift_ = pixels;
    update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QImage& picture = image();
    if (dragShift_.isNull()) {
        painter.drawImage(event->rect().topLeft(), picture, event->rect());
        return;
    }
    painter.fillRect(rect(), QColor(back_ & 0xFF, (back_ >> 8) & 0xFF, (back_ >> 16) & 0xFF));
    painter.drawImage(dragShift_, picture);
}

void PictureBox::resizeEvent(QResizeEvent*) {
    Fit();  // Picture1_Resize: a new size is a cleared picture
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    if (onKeyDown) onKeyDown(event->key());
    event->accept();
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (onMouseDown) onMouseDown(event->button(), event->modifiers(), ToPictureUnits(event->position()));
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove) onMouseMove(ToPictureUnits(event->position()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    if (onMouseUp) onMouseUp(event->button(), ToPictureUnits(event->position()));
}

void PictureBox::wheelEvent(QWheelEvent* event) {
    // Notches add up, so a fine-grained wheel zooms once per full notch.
    wheelAngle_ += event->angleDelta().y();
    while (wheelAngle_ >= kWheelNotch || wheelAngle_ <= -kWheelNotch) {
        const int step = wheelAngle_ > 0 ? 1 : -1;
        wheelAngle_ -= step * kWheelNotch;
        if (onWheel) onWheel(step, ToPictureUnits(event->position()));
    }
    event->accept();
}

}  // namespace mutaplot
