// The viewer's navigation, origin and mouse commands: the window reads its
// controls, lets the core's navigation arithmetic compute the new view and
// writes it back into the zoom list and the offset boxes.

#include "viewer/DataView.h"
#include "ui/DialogParts.h"
#include "viewer/DataExtent.h"
#include "viewer/PictureBox.h"

#include <QComboBox>
#include <QCursor>

#include <cmath>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>

namespace mutaplot {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The rubber band is inked in white by exclusive-or.
constexpr SurfaceColour kBandColour = kWhite;

// A left button released this many pixels or more from where it was pressed
// ends the band there (a drag); closer, the band waits for a second click.
constexpr double kDragPixels = 3.0;

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

// The format of the view's scale (the file's, as the last ComputeViewScale
// or pass found it).
double DataView::Step() const { return ReadoutStep(state_.viewTransform.fileFormat); }
double DataView::Resolution() const { return DataResolution(state_.viewTransform.fileFormat); }

void DataView::ViewZoomUp_Click() {
    SyncSurfaceUnit();
    const DrawingSurface& s = Picture1->surface();
    ApplyPlace(ZoomInAboutCentre(CurrentPlace(), s.ScaleWidth(), s.ScaleHeight(), Step()), true);
    Redraw();
}

void DataView::ViewZoomDown_Click() {
    SyncSurfaceUnit();
    const DrawingSurface& s = Picture1->surface();
    ApplyPlace(ZoomOutAboutCentre(CurrentPlace(), s.ScaleWidth(), s.ScaleHeight(), Step()), true);
    Redraw();
}

void DataView::Move(MoveDirection direction) {
    SyncSurfaceUnit();
    const DrawingSurface& s = Picture1->surface();
    ApplyPlace(MoveView(CurrentPlace(), direction, s.ScaleWidth(), s.ScaleHeight(), Step()), false);
    Redraw();
}

void DataView::ViewFit_Click() {
    if (state_.inputBlockList.blockCount() == 0) {
        ShowCheckMessage(dialogs_, kNoDisplayFileMessage);
        return;
    }
    EnsureEditor();
    std::optional<DataExtent> extent;
    const FileFormat format = ScanFileFormat(state_.inputBlockList, state_.settings);
    {
        BusyPointer busy(pointer_);
        PlotRecords records = state_.BindPlotRecords();
        extent = WalkDataExtent(state_.inputBlockList, state_.apertureTable, records, format);
    }
    SyncSurfaceUnit();
    const DrawingSurface& s = Picture1->surface();
    const auto place = extent ? FitExtent(*extent, s.ScaleWidth(), s.ScaleHeight(), DataResolution(format))
                              : std::nullopt;
    if (!place) {
        ShowCheckMessage(dialogs_, kNothingToFitMessage);
        return;
    }
    ApplyPlace(*place, true);
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

void DataView::ViewEria_Click() {
    areaZoom_.armed = true;
    // The cross shows that the command waits for the band.
    Picture1->setCursor(Qt::CrossCursor);
}

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
    case Qt::Key_Home: ViewFit_Click(); break;
    default: break;
    }
}

void DataView::Picture1_Wheel(int steps, QPointF at) {
    if (!IsViewDrawn(state_.viewState) || steps == 0) return;
    // Each notch doubles or halves the zoom about the point under the pointer.
    SyncSurfaceUnit();
    const double h = Picture1->surface().ScaleHeight();
    const ViewPlace place =
        ZoomAboutPoint(CurrentPlace(), steps > 0 ? 2.0 : 0.5, at.x(), at.y(), h,
                       OriginCornerOf(state_.settings.drawOrigin), Resolution());
    ApplyPlace(place, true);
    Redraw();
    Picture1_MouseMove(at);
}

void DataView::Picture1_MouseMove(QPointF at) {
    const double h = Picture1->surface().ScaleHeight();
    const OriginCorner corner = OriginCornerOf(state_.settings.drawOrigin);
    if (drag_) {
        // The picture follows the pointer; the pass runs when it is let go.
        const QPointF shift = Picture1->ToPixels(at - drag_->from);
        Picture1->SetDragShift(shift.toPoint());
        return;
    }
    const DataPoint p = RoundedReadout(at.x(), at.y(), CurrentPlace(), h, corner, Step());
    readoutX_ = p.x;
    readoutY_ = p.y;
    Label3->setText(Q(OffsetText(p.x)));
    Label4->setText(Q(OffsetText(p.y)));
    if (lastClick_) {
        const DataPoint here = ReadoutPoint(at.x(), at.y(), CurrentPlace(), h, corner);
        const SurfaceUnit unit = state_.viewTransform.fileFormat.pictureUnit();
        StatusDistance->setText(Q(DistanceText(*lastClick_, here, Resolution(), unit)));
    }
    if (areaZoom_.bandStarted) DrawBand(at.x(), at.y());
}

void DataView::Picture1_MouseUp(Qt::MouseButton button, QPointF at) {
    if (drag_ && (button == Qt::MiddleButton || button == Qt::LeftButton)) {
        const Drag d = *drag_;
        drag_.reset();
        const QPointF moved = at - d.from;
        const ViewPlace place = PanView(d.place, moved.x(), moved.y(),
                                        OriginCornerOf(state_.settings.drawOrigin), Resolution());
        ApplyPlace(place, false);
        Picture1->SetDragShift({});
        Redraw();
        return;
    }
    // A drag with the band: the release is the second corner.
    AreaZoomState& a = areaZoom_;
    if (button != Qt::LeftButton || !a.armed || !a.bandStarted) return;
    const QPointF pixels = Picture1->ToPixels(at - QPointF(a.anchorX, a.anchorY));
    if (std::hypot(pixels.x(), pixels.y()) < kDragPixels) return;
    Picture1_MouseMove(at);
    FinishBand();
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
    Picture1->unsetCursor();
}

void DataView::StartBand(QPointF at) {
    DrawingSurface& d = Picture1->surface();
    AreaZoomState& a = areaZoom_;
    d.SetPenWidth(1);
    a.bandStarted = true;
    a.anchorX = a.cornerX = static_cast<float>(at.x());
    a.anchorY = a.cornerY = static_cast<float>(at.y());
    const DataPoint data = ReadoutPoint(at.x(), at.y(), CurrentPlace(), d.ScaleHeight(),
                                        OriginCornerOf(state_.settings.drawOrigin));
    a.anchorDataX = data.x;
    a.anchorDataY = data.y;
    a.savedDrawMode = d.Mode();
    d.SetDrawMode(DrawMode::Xor);
    // The band starts as the one-pixel figure at the anchor, so that every
    // later erase takes away exactly what was drawn.
    d.SetDrawColour(kBandColour);
    d.Rectangle(a.anchorX, a.anchorY, a.cornerX, a.cornerY);
    d.SetDrawColour(Picture1->drawColour());
    Picture1->ShowDrawing();
}

void DataView::FinishBand() {
    AreaZoomState& a = areaZoom_;
    const DrawingSurface& s = Picture1->surface();
    const DataPoint anchor{a.anchorDataX, a.anchorDataY};
    const ViewPlace now = CurrentPlace();
    EndBand();
    // A band of no size (or a zoom that rounds to 0) changes nothing.
    if (auto place = AreaZoom(anchor, {readoutX_, readoutY_}, now.offsetX, now.offsetY,
                              s.ScaleWidth(), s.ScaleHeight(), Step())) {
        ApplyPlace(*place, true);
        ClearPicture();
        ViewRunView_Click();
    }
}

void DataView::Picture1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF at) {
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
            StartBand(at);
        } else if (button == Qt::LeftButton) {
            FinishBand();
        }
    } else if (!waiting && IsViewDrawn(state_.viewState) &&
               (button == Qt::MiddleButton ||
                (button == Qt::LeftButton && modifiers.testFlag(Qt::ShiftModifier)))) {
        // Dragging the picture: the middle button, or the left with Shift.
        drag_ = Drag{at, CurrentPlace()};
    } else if (button == Qt::LeftButton) {
        // The distance readout measures from here.
        lastClick_ = ReadoutPoint(at.x(), at.y(), CurrentPlace(), h, corner);
        const SurfaceUnit unit = state_.viewTransform.fileFormat.pictureUnit();
        StatusDistance->setText(Q(DistanceText(*lastClick_, *lastClick_, Resolution(), unit)));
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
