#pragma once
// The viewer's records and the geometry shared by screen, printer and DXF:
// the display transform from raw Gerber counts to picture units, the current
// aperture chosen from the aperture table, and the arc of an arc block.
//
// Raw coordinates are the signed value of a coordinate word's digits, one
// count of the last decimal digit of the file's format (FileFormat), with
// omitted trailing zeros restored as the converter restores them.

#include "aperture/ApertureTable.h"
#include "platform/Dialogs.h"
#include "platform/DrawingSurface.h"
#include "settings/ConversionSettings.h"
#include "viewer/FileFormat.h"

#include <optional>
#include <string>
#include <string_view>

namespace mutaplot {

// Messages of the display decoding (title "確認", OK).
inline constexpr const char* kNoDisplayFileMessage = "表示元のファイルがありません";
inline constexpr const char* kRelativeDataMessage =
    "このデータは相対座標で作成されてあります。絶対座標のデータを御使用下さい。";
inline constexpr const char* kSeparatorMismatchMessage =
    "改行コードに矛盾があります。「入力設定」のデータ区切りを確認して下さい。";
inline constexpr const char* kDCodeLimitMessage =
    "使用可能上限を越えたＤコードが使用されています。MUTAPLはこの問題のＤコードを飛ばしてデータ表示を続けます。";
inline constexpr const char* kDCodeErrorMessage =
    "Ｄコード設定処理中エラーが発生しました。入力設定を見直し再度データファイルを読み込んで下さい。";

// The zoom list and the quality list of the viewer window, in list order.
inline constexpr const char* kZoomListTexts[] = {"２５％", "５０％", "１００％",
                                                 "２００％", "４００％", "５００％"};
inline constexpr float kZoomListFactors[] = {0.25f, 0.5f, 1.0f, 2.0f, 4.0f, 5.0f};
inline constexpr const char* kQualityHighText = "低速（高品位）";
inline constexpr const char* kQualityFastText = "高速（低品位）";

// The mapping from raw counts to picture units, shared by screen, printer
// and DXF. zoom is single precision on purpose: the zoom commands compute it
// in single precision and every consumer sees the same rounded factor.
struct ViewTransform {
    float zoom = 1.0f;
    double countsPerUnit = 1000.0;  // 10^d / zoom
    double offsetX = 0.0;           // raw counts
    double offsetY = 0.0;
    double pixelsPerMm = 3.78;      // device pixels per millimetre
    SurfaceUnit pictureUnit = SurfaceUnit::Millimetre;
    // The format the raw counts are in (ComputeViewScale's), which the walk
    // reads the numbers with until a statement of the file changes that.
    FileFormat fileFormat;
};

// Device pixels per picture unit: pixelsPerMm for millimetre pictures,
// pixelsPerMm × 25.4 for inch pictures.
double PixelsPerPictureUnit(const ViewTransform& transform) noexcept;

// The settings' drawOrigin, kept as the float of the settings file: where
// the data's origin lies on the picture. Bottom-left draws Y upwards, top-left
// draws Y downwards (the picture mirrored top to bottom). Any other stored
// value draws as bottom-left; the options dialog then selects neither option.
inline constexpr float kDrawOriginBottomLeft = 0.0f;
inline constexpr float kDrawOriginTopLeft = 1.0f;
constexpr bool IsTopLeftOrigin(float drawOrigin) noexcept {
    return drawOrigin == kDrawOriginTopLeft;
}

// The viewer's drawing quality, chosen in the quality list: high quality
// draws with aperture-wide pens and filled flashes, fast quality one-pixel
// outlines.
inline constexpr float kDrawQualityHigh = 0.0f;
inline constexpr float kDrawQualityFast = 1.0f;

// Whether the picture shows a whole display pass: a change of the view then
// draws it again at once.
inline constexpr float kViewNotDrawn = 0.0f;
inline constexpr float kViewDrawn = 1.0f;

// The viewer's flags. drawQuality is kDrawQualityHigh or kDrawQualityFast,
// viewDrawn kViewNotDrawn or kViewDrawn.
struct ViewState {
    float drawQuality = kDrawQualityHigh;
    float viewDrawn = kViewNotDrawn;
};
constexpr bool IsViewDrawn(const ViewState& view) noexcept { return view.viewDrawn == kViewDrawn; }
constexpr bool IsHighQuality(const ViewState& view) noexcept {
    return view.drawQuality == kDrawQualityHigh;
}
constexpr bool IsFastQuality(const ViewState& view) noexcept {
    return view.drawQuality == kDrawQualityFast;
}

// Decoding state of a display, print or DXF walk. The current point is reset
// by every walk; xText and yText survive from walk to walk (a flash before the
// first coordinate block of a walk is placed where the last one left them).
// No value stands for the empty text of program start: the current point.
// currentGCode is not here: it is one text shared with the converter.
struct PlotState {
    double currentX = 0.0;
    double currentY = 0.0;
    std::string modalDCode;
    std::optional<double> xText;
    std::optional<double> yText;
};

// The current arc, in raw counts and degrees.
struct ArcGeometry {
    double offsetI = 0.0, offsetJ = 0.0;
    double centreX = 0.0, centreY = 0.0;
    double radius = 0.0;
    double startAngle = 0.0, endAngle = 0.0;
};

enum class ApertureShape : std::uint8_t { Round = 0, Square = 1, ThermalAxes = 2, ThermalDiagonal = 3 };
constexpr bool IsThermal(ApertureShape shape) noexcept {
    return shape == ApertureShape::ThermalAxes || shape == ApertureShape::ThermalDiagonal;
}

// The aperture selected by the last D-code block; sizes in list units.
struct CurrentAperture {
    double sizeX = 0.0;
    double sizeY = 0.0;
    double connectWidth = 0.0;
    ApertureShape shape = ApertureShape::Round;
};

// Where a walk takes its apertures from (表示設定, アパーチュア): a file that
// defines its apertures (%AD) is drawn with them and RS-274X meaning, any
// other file from the aperture list; or always from the aperture list.
enum class ApertureSource : std::uint8_t { FileWhereDefined = 0, List = 1 };

// What the viewer window's controls hold when a walk starts, and how the
// blocks were cut (a walk of the file's own definitions reads its
// parameter blocks).
struct ViewControls {
    std::string zoomText = "１００％";
    std::string qualityText = kQualityHighText;
    std::string offsetXText = "0";
    std::string offsetYText = "0";
    ApertureSource apertureSource = ApertureSource::FileWhereDefined;
    InputSeparator inputSeparator = InputSeparator::Lf;
};

// The state records one walk works on, bound by reference to the instances
// the application owns.
struct PlotRecords {
    ViewTransform& transform;
    PlotState& plot;
    std::string& currentGCode;
    ArcGeometry& arc;
    CurrentAperture& aperture;
    ViewState& view;
};

// The input settings a walk of the file's own definitions reads, and the
// aperture source of 表示設定.
void TakeInputSettings(const ConversionSettings& settings, ViewControls& controls) noexcept;

// Decimals d of an input format code 1..11 (none outside; 6 for 10 and 11).
std::optional<int> FormatDecimals(int inputFormat) noexcept;

// The picture unit of an input format code 1..11: inch for the inch formats,
// millimetre for the others; none outside 1..11.
std::optional<SurfaceUnit> PictureUnitOfFormat(int inputFormat) noexcept;

// Sets zoom (only for one of the six list texts), picture unit, offsets,
// countsPerUnit and fileFormat from the file's format (ScanFileFormat; a
// bare format code stands for that code's format). An unknown format
// changes nothing but the zoom. An offset text without a number at its
// start leaves that offset as it was.
void ComputeViewScale(std::string_view zoomText, const FileFormat& format,
                      std::string_view offsetXText, std::string_view offsetYText,
                      ViewTransform& transform);

// drawQuality from the quality list text; any other text leaves it.
void ReadDrawQuality(std::string_view qualityText, ViewState& view) noexcept;

struct PicturePoint {
    double x;
    double y;
};

// The on-screen Y of the bottom-left origin is kept to two decimals (halves
// to even), as the picture box did; the printer and DXF mappings are exact.
double RoundToHundredths(double value) noexcept;

// A raw point in picture units on a surface of scale height H.
PicturePoint ToPicture(double x, double y, double scaleHeight, float drawOrigin,
                       const ViewTransform& transform) noexcept;

// The pen width in device pixels for an aperture in high quality: its width
// (sizeX, or the ring width of a thermal; list sizes are in the picture
// unit, as the flashes take them) × pixels per picture unit × zoom, at least
// 1, rounded halves to even. Inch strokes therefore match inch flashes.
int AperturePenWidth(const CurrentAperture& aperture, const ViewTransform& transform) noexcept;

// Loads CurrentAperture from the aperture table for the D-number text
// (the block without its "D"). Reports through `dialogs`. Returns the pen
// width to set on the view and the printer (high quality, success only).
std::optional<int> SelectAperture(std::string_view dNumberText, const ApertureTable& table,
                                  PlotRecords& records, Dialogs& dialogs);

}  // namespace mutaplot
