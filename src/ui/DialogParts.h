#pragma once
// Building blocks shared by the settings dialogs: frames of exclusive
// options whose ids are the field codes (1, 2, …), and the drop-down of the
// nine coordinate formats.

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <optional>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QRadioButton;
class QWidget;

namespace mutaplot {

// A frame with one option per caption, stacked; the option for code k is the
// k-th. Returns the group; `options` receives the buttons in code order.
QButtonGroup* MakeOptionFrame(QGroupBox* frame, std::initializer_list<QRadioButton**> options,
                              std::initializer_list<const char*> captions);

// Deselects every option of the group, then selects the one for `code`
// (none when `code` names no option).
void SelectOnly(QButtonGroup* group, int code);

// The code of the selected option; no value when none is selected.
std::optional<std::uint8_t> SelectedCode(const QButtonGroup* group);

// Fills a frame with the editable drop-down of the nine formats (empty until
// AppendFormatCaptions) and returns it.
QComboBox* MakeFormatFrame(QGroupBox* frame);

// Appends the nine format captions, in code order, to an editable drop-down.
void AppendFormatCaptions(QComboBox* combo);

// Shows the caption of `code`; a code outside 1..11 leaves the text as it is.
void ShowFormatCaption(QComboBox* combo, int code);

// The code whose caption equals `text` exactly; no value for any other text.
std::optional<std::uint8_t> FormatCodeForCaption(const QString& text);

QString U(const char* utf8);

}  // namespace mutaplot
