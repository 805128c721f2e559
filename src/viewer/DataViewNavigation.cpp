// The viewer's navigation, origin and mouse commands: the window reads its
// controls, lets the core's navigation arithmetic compute the new view and
// writes it back into the zoom list and the offset boxes.

#include "viewer/DataView.h"
#include "ui/DialogParts.h"
#include "viewer/PictureBox.h"

#include <QComboBox>
#include <QCursor>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>

namespace mutaplot {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The rubber band is inked in white by exclusive-or.
constexpr SurfaceColour kBandColour = kWhite;

}  // namespace

ViewPlace DataView::CurrentPlace() const {
    return {state_.viewTransform.zoom, OffsetBoxValue(Text1->text().toStdString()),
            OffsetBoxValue(Text2->text().toStdString())};
}

void DataView::ApplyPlace(const ViewPlace& place, bool writeZoom) {
    if (writeZoom) {
        state_.viewTransform.zoom = place.zoom;
        Combo1->setEditText(Q(ZoomFactorText(place.zoom)));
    }
    Text1->setText(Q(OffsetText(place.offsetX)));
    Text2->setText(Q(OffsetText(place.offsetY)));
}

void DataView::ViewZoomUp_Click() {
    SyncSurfaceUnit();
    const DrawingSurface& s = Picture1->surface();
    ApplyPlace(ZoomInAboutCentre(CurrentPlace(), s.ScaleWidth(), s.ScaleHeight()), true);
    Redraw();
}

void DataView::ViewZoomDown_Click() {
    SyncSurfaceUnit();
    const DrawingSurface& s = Picture1->surface();
    ApplyPlace(ZoomOutAboutCentre(CurrentPlace(), s.ScaleWidth(), s.ScaleHeight()), true);
    Redraw();
}

void DataView::Move(MoveDirection direction) {
    SyncSurfaceUnit();
    const DrawingSurface& s = Picture1->surface();
    ApplyPlace(MoveView(CurrentPlace(), direction, s.ScaleWidth(), s.ScaleHeight()), false);
    Redraw();
}

void DataView::ViewMovRight_Click() { Move(MoveDirection::Right); }
void DataView::ViewMovLeft_Click() { Move(MoveDirection::Left); }
void DataView::ViewMovUp_Click() { Move(MoveDirection::Up); }
void DataView::ViewMovDown_Click() { Move(MoveDirection::Down); }

void DataView::ViewReset_Click() {
    Combo1->setEditText(U("１００％"));
    // The converter's output origin shift goes back to 0 as well.
    state_.settings.originShiftX = 0.0;
    state_.settings.originShiftY = 0.0;
    ComputeScale();
    Text1->setText("0");
    Text2->setText("0");
    Redraw();
}

void DataView::ViewEria_Click() { areaZoom_.armed = true; }

void DataView::ViewSetReset_Click() {
    Text1->setText("0");
    Text2->setText("0");
    Redraw();
}

void DataView::Picture1_KeyDown(int qtKey) {
    if (qtKey == Qt::Key_Escape && pickLoop_) {
        pickLoop_->quit();  // the origin pick ends without a change
        return;
    }
    if (!IsViewDrawn(state_.viewState)) return;
    switch (qtKey) {
    case Qt::Key_PageUp: ViewZoomUp_Click(); break;
    case Qt::Key_PageDown: ViewZoomDown_Click(); break;
    case Qt::Key_Right: Move(MoveDirection::Left); break;
    case Qt::Key_Left: Move(MoveDirection::Right); break;
    case Qt::Key_Up: Move(MoveDirection::Down); break;
    case Qt::Key_Down: Move(MoveDirection::Up); break;
    default: break;
    }
}

void DataView::Picture1_Wheel(int steps) {
    if (!IsViewDrawn(state_.viewState)) return;
    if (steps > 0) ViewZoomUp_Click();
    else if (steps < 0) ViewZoomDown_Click();
}

void DataView::Picture1_MouseMove(QPointF at) {
    const double h = Picture1->surface().ScaleHeight();
    const DataPoint p = RoundedReadout(at.x(), at.y(), CurrentPlace(), h,
                                       OriginCornerOf(state_.settings.drawOrigin));
    readoutX_ = p.x;
    readoutY_ = p.y;
    Label3->setText(Q(OffsetText(p.x)));
    Label4->setText(Q(OffsetText(p.y)));
    if (areaZoom_.bandStarted) DrawBand(at.x(), at.y());
}

void DataView::DrawBand(double x, double y) {
    DrawingSurface& s = Picture1->surface();
    AreaZoomState& a = areaZoom_;
    // The corner is held in single precision: the band is drawn at the
    // rounded corner, so that erasing it later inks exactly the same pixels.
    const float cornerX = static_cast<float>(x);
    const float cornerY = static_cast<float>(y);
    // The new band, then the old one once more to erase it.
    s.SetDrawColour(kBandColour);
    s.Rectangle(a.anchorX, a.anchorY, cornerX, cornerY);
    s.Rectangle(a.anchorX, a.anchorY, a.cornerX, a.cornerY);
    s.SetDrawColour(Picture1->drawColour());
    a.cornerX = cornerX;
    a.cornerY = cornerY;
    Picture1->ShowDrawing();
}

void DataView::EndBand() {
    DrawingSurface& s = Picture1->surface();
    AreaZoomState& a = areaZoom_;
    if (a.bandStarted) {
        s.SetDrawColour(kBandColour);
        s.Rectangle(a.anchorX, a.anchorY, a.cornerX, a.cornerY);
        s.SetDrawColour(Picture1->drawColour());
        s.SetDrawMode(a.savedDrawMode);
        Picture1->ShowDrawing();
    }
    a.armed = false;
    a.bandStarted = false;
}

void DataView::Picture1_MouseDown(Qt::MouseButton button, QPointF at) {
    const DrawingSurface& s = Picture1->surface();
    const double h = s.ScaleHeight();
    const OriginCorner corner = OriginCornerOf(state_.settings.drawOrigin);
    const bool waiting = pickLoop_ != nullptr;
    pick_ = PickAt(at.x(), at.y(), state_.viewTransform.zoom, h, corner);

    if (areaZoom_.armed) {
        AreaZoomState& a = areaZoom_;
        if (button == Qt::RightButton) {
            EndBand();
        } else if (button == Qt::LeftButton && !a.bandStarted) {
            DrawingSurface& d = Picture1->surface();
            d.SetPenWidth(1);
            a.bandStarted = true;
            a.anchorX = a.cornerX = static_cast<float>(at.x());
            a.anchorY = a.cornerY = static_cast<float>(at.y());
            const DataPoint data = ReadoutPoint(at.x(), at.y(), CurrentPlace(), h, corner);
            a.anchorDataX = data.x;
            a.anchorDataY = data.y;
            a.savedDrawMode = d.Mode();
            d.SetDrawMode(DrawMode::Xor);
            // The band starts as the one-pixel figure at the anchor, so that
            // every later erase takes away exactly what was drawn.
            d.SetDrawColour(kBandColour);
            d.Rectangle(a.anchorX, a.anchorY, a.cornerX, a.cornerY);
            d.SetDrawColour(Picture1->drawColour());
            Picture1->ShowDrawing();
        } else if (button == Qt::LeftButton) {
            const DataPoint anchor{a.anchorDataX, a.anchorDataY};
            const double oX = CurrentPlace().offsetX;
            EndBand();
            // A band of no width (or a zoom that rounds to 0) changes nothing.
            if (auto place = AreaZoom(anchor, {readoutX_, readoutY_}, oX, s.ScaleWidth())) {
                ApplyPlace(*place, true);
                ClearPicture();
                ViewRunView_Click();
            }
        }
    }
    if (waiting && pickLoop_) {
        pickTaken_ = true;
        pickLoop_->quit();
    }
}

void DataView::ViewSetOffset_Click() {
    if (pickLoop_) return;  // already waiting
    pick_ = {kPickWaitingMarker, kPickWaitingMarker};
    setCursor(Qt::CrossCursor);
    // The rest of the interface stays live while the pick waits; Escape on
    // the surface or closing the viewer ends the wait with no change.
    QEventLoop loop;
    pickLoop_ = &loop;
    pickTaken_ = false;
    QPointer<DataView> self(this);
    loop.exec();
    if (!self) return;
    pickLoop_ = nullptr;
    unsetCursor();
    if (!pickTaken_) return;
    const ViewPlace place = CurrentPlace();
    Text1->setText(Q(DecimalOffsetText(place.offsetX - pick_.x)));
    Text2->setText(Q(DecimalOffsetText(place.offsetY - pick_.y)));
    Redraw();
}

}  // namespace mutaplot
