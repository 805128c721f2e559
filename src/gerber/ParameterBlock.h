#pragma once
// One RS-274X parameter block parsed into plain records: aperture
// definitions, aperture macros (parameters as Expressions), step-and-repeat,
// polarity, image statements, attributes. The text is that of one block
// without its "%" delimiters; line breaks and blanks inside are ignored
// (except inside macro comments and attributes, which keep their text).
//
// Changes to the agreed interface: `code` is a std::string (a view into the
// caller's text would dangle once the text goes); ParseStatements() splits a
// block's text into its "*"-ended statements (used where a block holds more
// than one, e.g. "%ICAS*MOIN*%"). A block's kind is that of its first
// statement, except a macro, whose every statement is part of it.

#include "gerber/Expression.h"
#include "gerber/FormatStatement.h"
#include "settings/ConversionSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace mutaplot::gerber {

struct ApertureDefinition {        // %ADD10C,0.5X0.25*%
    int dCode = 0;                 // 10 … (any number the file gives, ≥ 10)
    std::string templateName;      // "C", "R", "O", "P" or a macro name
    std::vector<double> modifiers; // as written, in the file's unit
};

struct MacroPrimitive {            // one primitive line of a macro
    int code = 0;                  // 0 comment, 1 circle, 2/20 vector line, 21 centre line,
                                   // 22 lower-left line, 4 outline, 5 polygon, 6 moiré, 7 thermal
    std::vector<Expression> modifiers;   // exposure first where the primitive has one
    std::string comment;           // code 0 only: the text after "0" (blanks kept)
};
struct MacroVariable {             // $4=$1x2*
    int index = 0;
    Expression value = Expression::Constant(0);
};
using MacroStatement = std::variant<MacroPrimitive, MacroVariable>;
struct ApertureMacro {
    std::string name;
    std::vector<MacroStatement> body;
};

struct StepRepeat {                // %SRX3Y2I5.0J4.0*%; "%SR*%" ends a repeat (1, 1, 0, 0)
    int x = 1, y = 1;
    double i = 0, j = 0;
};

enum class Polarity : std::uint8_t { Dark, Clear };

// Limits on numbers taken from a file.
inline constexpr int kMaxDCode = 99999999;
inline constexpr int kMaxRepeat = 99999;
inline constexpr std::size_t kMaxModifiers = 100000;

struct ParameterBlock {
    enum class Kind : std::uint8_t {
        Format, Mode, ApertureDefinition, ApertureMacro, StepRepeat, LoadPolarity,
        ImagePolarity, Offset, MirrorImage, ScaleFactor, AxisSelect, ImageRotation,
        ImageOffset, LayerName, Attribute, Other, Unreadable
    };
    Kind kind = Kind::Unreadable;
    std::string code;  // the two letters ("AD", "AM", …); empty when there are none

    // Filled according to kind:
    std::optional<FormatStatement> format;   // Format
    std::optional<Unit> mode;                // Mode
    std::optional<ApertureDefinition> aperture;
    std::optional<ApertureMacro> macro;
    std::optional<StepRepeat> stepRepeat;
    Polarity polarity = Polarity::Dark;      // LoadPolarity
    bool imageNegative = false;              // ImagePolarity
    double offsetA = 0, offsetB = 0;         // Offset (%OF) and ImageOffset (%IO)
    bool mirrorA = false, mirrorB = false;   // MirrorImage
    double scaleA = 1, scaleB = 1;           // ScaleFactor
    bool axesSwapped = false;                // AxisSelect: "AXBY" false, "AYBX" true
    int rotation = 0;                        // ImageRotation: 0, 90, 180 or 270
    std::string name;                        // LayerName; Attribute: its whole text after the code
};

// text: the characters between the opening and closing "%". A statement that
// does not read as its code's syntax gives kind Unreadable (code still set).
ParameterBlock ParseParameterBlock(std::string_view text);

// The "*"-ended statements of a block's text, each without its "*" and
// without line breaks; a last statement without "*" counts as well, empty
// statements (blanks only) do not.
std::vector<std::string> ParseStatements(std::string_view text);

}  // namespace mutaplot::gerber
