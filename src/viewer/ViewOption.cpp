#include "viewer/ViewOption.h"

#include "settings/NumberText.h"
#include "ui/DialogParts.h"
#include "ui/DialogWindows.h"
#include "viewer/DataView.h"
#include "viewer/PaintDeviceSurface.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>

namespace mutaplot {

namespace {

constexpr int kOptionBottomLeft = 1;  // Option1
constexpr int kOptionTopLeft = 2;     // Option2
constexpr int kOptionFileApertures = 1;  // Option3
constexpr int kOptionListApertures = 2;  // Option4

QPushButton* MakeSwatch(const char* name, QWidget* parent) {
    auto* swatch = new QPushButton(parent);
    swatch->setObjectName(name);
    swatch->setFixedSize(48, 24);
    swatch->setFlat(true);
    swatch->setAutoFillBackground(true);
    return swatch;
}

}  // namespace

std::optional<std::uint32_t> ColourNumber(const std::string& text) {
    const auto v = ParseDecimal(text);
    if (!v || *v < 0 || *v > 0xFFFFFF || *v != std::floor(*v)) return std::nullopt;
    return static_cast<std::uint32_t>(*v);
}

void ShowSwatchColour(QPushButton* swatch, const std::string& colourText) {
    const auto c = ColourNumber(colourText);
    if (!c) return;
    swatch->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid #808080; }")
                              .arg(QColorOf(*c).name()));
}

ViewOption::ViewOption(ConversionSettings& settings, Dialogs& dialogs, DataView* viewer)
    : QDialog(viewer), settings_(settings), dialogs_(dialogs), viewer_(viewer) {
    setObjectName("ViewOption");
    setWindowTitle(U("表示設定"));
    setAttribute(Qt::WA_DeleteOnClose);

    Frame1 = new QGroupBox(U("描画原点"), this);
    originGroup_ = MakeOptionFrame(Frame1, {&Option1, &Option2}, {"左下", "左上"});

    Frame2 = new QGroupBox(U("描画カラー"), this);
    Label1 = new QLabel(U("描画色"), Frame2);
    Label2 = new QLabel(U("背景色"), Frame2);
    Picture1 = MakeSwatch("Picture1", Frame2);
    Picture2 = MakeSwatch("Picture2", Frame2);
    auto* colours = new QGridLayout(Frame2);
    colours->addWidget(Label1, 0, 0);
    colours->addWidget(Picture1, 0, 1);
    colours->addWidget(Label2, 1, 0);
    colours->addWidget(Picture2, 1, 1);
    connect(Picture1, &QPushButton::clicked, this, &ViewOption::Picture1_Click);
    connect(Picture2, &QPushButton::clicked, this, &ViewOption::Picture2_Click);

    Frame3 = new QGroupBox(U("アパーチュア"), this);
    apertureGroup_ = MakeOptionFrame(Frame3, {&Option3, &Option4},
                                     {"ファイルの定義（ある場合）", "常にアパーチュア・リスト"});

    MakeOkCancel(this, Command1, &ViewOption::Command1_Click, Command2, &ViewOption::Command2_Click);

    auto* frames = new QHBoxLayout;
    frames->addWidget(Frame1);
    frames->addWidget(Frame2);
    frames->addWidget(Frame3);
    LayOutWithButtons(this, frames, {Command1, Command2});

    // Form_Load.
    const int origin = settings_.drawOrigin == kDrawOriginBottomLeft ? kOptionBottomLeft
                       : settings_.drawOrigin == kDrawOriginTopLeft  ? kOptionTopLeft
                                                                       : 0;
    SelectOnly(originGroup_, origin);
    SelectOnly(apertureGroup_, settings_.apertureSource == static_cast<std::uint8_t>(ApertureSource::List)
                                   ? kOptionListApertures
                                   : kOptionFileApertures);
    ShowSwatchColour(Picture1, settings_.drawColour);
    ShowSwatchColour(Picture2, settings_.backColour);
}

void ViewOption::ChooseColour(std::string& colour, QPushButton* swatch) {
    const auto chosen = dialogs_.ChooseColour(ColourNumber(colour).value_or(0));
    if (chosen) colour = std::to_string(*chosen);  // stored at once
    ShowSwatchColour(swatch, colour);
}

void ViewOption::Picture1_Click() { ChooseColour(settings_.drawColour, Picture1); }
void ViewOption::Picture2_Click() { ChooseColour(settings_.backColour, Picture2); }

void ViewOption::Command1_Click() {
    if (Option2->isChecked()) settings_.drawOrigin = kDrawOriginTopLeft;
    else if (Option1->isChecked()) settings_.drawOrigin = kDrawOriginBottomLeft;
    settings_.apertureSource = static_cast<std::uint8_t>(Option4->isChecked() ? ApertureSource::List
                                                                              : ApertureSource::FileWhereDefined);
    if (viewer_) viewer_->ApplySettingsColours();
    CloseToViewer();
}

void ViewOption::Command2_Click() { CloseToViewer(); }

void ViewOption::CloseToViewer() {
    QPointer<DataView> viewer = viewer_;
    close();
    // The viewer becomes active again and redraws with the new options.
    if (viewer) viewer->activateWindow();
}

}  // namespace mutaplot
